# add_generator_program(<target> SOURCES <job table sources> PAYLOADS <id> <file> [<id> <file> ...])
#
# Builds one generator executable from the shared front end, the program's job
# table and the payload files, each embedded read-only in the image under its
# id. A payload file that neither exists nor is made by this build gives a
# loud warning and a program without it, which then reports itself damaged.
include(EmbedPayloadsWin32)

function(add_generator_program target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;PAYLOADS")
    set(embedded_ids)
    set(embedded_files)
    list(LENGTH ARG_PAYLOADS pair_items)
    math(EXPR last "${pair_items} - 1")
    get_property(built_payloads GLOBAL PROPERTY TAVRIN_BUILT_PAYLOADS)
    foreach(index RANGE 0 ${last} 2)
        math(EXPR file_index "${index} + 1")
        list(GET ARG_PAYLOADS ${index} id)
        list(GET ARG_PAYLOADS ${file_index} file)
        if(EXISTS "${file}" OR "${file}" IN_LIST built_payloads)
            list(APPEND embedded_ids ${id})
            list(APPEND embedded_files "${file}")
        else()
            message(WARNING
                "${target}: payload ${id} not found at '${file}'.\n"
                "The program is built without it and will report itself as damaged.")
        endif()
    endforeach()

    if(TAVRIN_PLATFORM_SIDE STREQUAL "win32")
        tavrin_embed_payloads_win32(${target} "${embedded_ids}" "${embedded_files}" sources)
    else()
        tavrin_embed_payloads_native(${target} "${embedded_ids}" "${embedded_files}" sources)
    endif()

    add_executable(${target} ${ARG_SOURCES} ${sources} $<TARGET_OBJECTS:tavrin_entry>)
    if(TAVRIN_PLATFORM_SIDE STREQUAL "win32")
        set_property(TARGET ${target} PROPERTY WIN32_EXECUTABLE ON)  # WinMain, -mwindows
    endif()
    target_link_libraries(${target} PRIVATE tavrin_frontend)
    if(TARGET tavrin_built_payloads)
        add_dependencies(${target} tavrin_built_payloads)
    endif()
endfunction()

# Native images carry each payload as an assembled blob (.incbin) plus a
# table from id to bytes and length.
function(tavrin_embed_payloads_native target ids files out_sources)
    set(asm "${CMAKE_CURRENT_BINARY_DIR}/${target}_payloads.S")
    set(table "${CMAKE_CURRENT_BINARY_DIR}/${target}_payload_table.cpp")
    set(asm_text "    .section .rodata\n")
    set(declarations "")
    set(rows "")
    foreach(id file IN ZIP_LISTS ids files)
        string(APPEND asm_text
            "    .globl tavrin_payload_${id}\n"
            "    .balign 16\n"
            "tavrin_payload_${id}:\n"
            "    .incbin \"${file}\"\n"
            "tavrin_payload_${id}_end:\n"
            "    .globl tavrin_payload_${id}_size\n"
            "    .balign 8\n"
            "tavrin_payload_${id}_size:\n"
            "    .quad tavrin_payload_${id}_end - tavrin_payload_${id}\n")
        string(APPEND declarations
            "extern \"C\" const std::uint8_t tavrin_payload_${id}[];\n"
            "extern \"C\" const std::uint64_t tavrin_payload_${id}_size;\n")
        string(APPEND rows "    {${id}, tavrin_payload_${id}, tavrin_payload_${id}_size},\n")
    endforeach()
    string(APPEND asm_text "    .section .note.GNU-stack,\"\",@progbits\n")
    file(CONFIGURE OUTPUT "${asm}" CONTENT "${asm_text}" @ONLY)
    if(rows)
        set(body "// Filled before main runs: the sizes are link-time values.\nconst EmbeddedPayload kTable[] = {\n${rows}};\n\nstd::span<const EmbeddedPayload> embeddedPayloadTable() {\n    return kTable;\n}\n")
    else()
        set(body "std::span<const EmbeddedPayload> embeddedPayloadTable() {\n    return {};\n}\n")
    endif()
    file(CONFIGURE OUTPUT "${table}" CONTENT
        "// Generated for ${target}: the payloads assembled into this image.\n#include <cstdint>\n\n#include \"platform/native/embedded_payloads.h\"\n\n${declarations}\n${body}" @ONLY)
    set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${files}")
    set(${out_sources} "${asm}" "${table}" PARENT_SCOPE)
endfunction()
