# Windows images carry each payload as a resource of type "BIN", language
# 1033, in a .rc file generated per program and compiled by windres, with the
# program's version resource beside it.
if(WIN32)
    enable_language(RC)
endif()

function(tavrin_embed_payloads_win32 target ids files out_sources)
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc")
    set(payload_lines "")
    foreach(id file IN ZIP_LISTS ids files)
        string(APPEND payload_lines "${id} BIN \"${file}\"\n")
    endforeach()
    set(version "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
    file(CONFIGURE OUTPUT "${rc}" CONTENT [[
// Generated for @target@: its payloads and version.
#include <winver.h>

LANGUAGE 0x09, 0x01
@payload_lines@
VS_VERSION_INFO VERSIONINFO
FILEVERSION @version@
PRODUCTVERSION @version@
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904b0"
        BEGIN
            VALUE "FileDescription", "@target@ font generator\0"
            VALUE "FileVersion", "@PROJECT_VERSION@\0"
            VALUE "InternalName", "@target@\0"
            VALUE "OriginalFilename", "@target@.exe\0"
            VALUE "ProductName", "Tavrin_gen\0"
            VALUE "ProductVersion", "@PROJECT_VERSION@\0"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x0409, 1200
    END
END
]] @ONLY)
    # windres reads the payload files, so a changed payload recompiles the .rc.
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${files}")
    set(${out_sources} "${rc}" PARENT_SCOPE)
endfunction()
