# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX thread model,
# which GoogleTest's threads need); programs and tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)
set(CMAKE_AR ${mingw_prefix}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw_prefix}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes are linked in, so the .exe files need no DLL from
# the toolchain next to them, under Wine or on Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables and test discovery run through Wine, in a private prefix
# in the build tree (made on first use by the wrapper).
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../../tests/wine/wine-run;${CMAKE_BINARY_DIR}/wine-prefix")
