# GoogleTest for the Windows build, which runs its tests under Wine. Debian
# has no GoogleTest for the Windows target, so its sources are built here;
# they provide the same GTest:: targets as the native package.
set(TAVRIN_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
    "GoogleTest sources for the cross build (Debian's googletest package)")
if(NOT EXISTS "${TAVRIN_GTEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR
        "No GoogleTest sources at ${TAVRIN_GTEST_SOURCE_DIR} (Debian package googletest, "
        "installed with libgtest-dev).")
endif()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory("${TAVRIN_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/_deps/googletest"
    EXCLUDE_FROM_ALL SYSTEM)

# Listing the tests means starting Wine; do it when the tests run, not while
# building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
