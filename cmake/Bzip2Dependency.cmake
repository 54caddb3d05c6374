# libbzip2, the decoder of the payload streams.
#
# Native builds use the system's library. The Windows build compiles it from
# Debian's source package, unpacked into the build tree at configure time;
# TAVRIN_BZIP2_SOURCE_DIR names an already unpacked source instead.
if(NOT WIN32)
    find_package(BZip2 REQUIRED)
    return()
endif()

set(TAVRIN_BZIP2_SOURCE_DIR "" CACHE PATH
    "Unpacked bzip2 source for the Windows build; empty fetches Debian's source package")
if(TAVRIN_BZIP2_SOURCE_DIR)
    set(bzip2_source "${TAVRIN_BZIP2_SOURCE_DIR}")
else()
    set(bzip2_fetch_dir "${CMAKE_BINARY_DIR}/_deps/bzip2")
    execute_process(
        COMMAND "${PROJECT_SOURCE_DIR}/scripts/fetch-bzip2-source" "${bzip2_fetch_dir}"
        RESULT_VARIABLE bzip2_fetch_result)
    if(NOT bzip2_fetch_result EQUAL 0)
        message(FATAL_ERROR
            "Could not fetch Debian's bzip2 source (scripts/fetch-bzip2-source). "
            "Pass -DTAVRIN_BZIP2_SOURCE_DIR=<unpacked bzip2 source> to use one at hand.")
    endif()
    set(bzip2_source "${bzip2_fetch_dir}/source")
endif()

set(bzip2_files blocksort.c huffman.c crctable.c randtable.c compress.c decompress.c bzlib.c)
list(TRANSFORM bzip2_files PREPEND "${bzip2_source}/")
foreach(file IN LISTS bzip2_files)
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "bzip2 source incomplete: ${file} is missing")
    endif()
endforeach()

add_library(tavrin_bzip2 STATIC ${bzip2_files})
target_include_directories(tavrin_bzip2 SYSTEM PUBLIC "${bzip2_source}")
# On Windows bzlib.h declares imports from a DLL unless told it is built in,
# and it pulls in <windows.h>, whose min/max macros would break <algorithm>.
target_compile_definitions(tavrin_bzip2 PUBLIC BZ_EXPORT NOMINMAX WIN32_LEAN_AND_MEAN)
# The library's own code is not ours to keep warning-free.
target_compile_options(tavrin_bzip2 PRIVATE -w)
add_library(BZip2::BZip2 ALIAS tavrin_bzip2)
