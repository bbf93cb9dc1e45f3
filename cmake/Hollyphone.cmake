# Build helpers shared by every directory.

# GoogleTest: the host's packaged build natively; built from Debian's
# googletest sources for the Windows cross-build. Called once, from the top
# directory, so that the targets and the variables of CMake's GoogleTest
# module are seen by every folder below it.
macro(hp_setup_gtest)
    if(CMAKE_CROSSCOMPILING)
        set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        # Recent googletest sources define these aliases themselves.
        if(NOT TARGET GTest::gtest)
            add_library(GTest::gtest ALIAS gtest)
            add_library(GTest::gtest_main ALIAS gtest_main)
        endif()
    else()
        find_package(GTest REQUIRED GLOBAL)
    endif()
    include(GoogleTest)
endmacro()

# hp_add_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One test executable. Natively every test case becomes its own ctest test
# (a fresh process each, so the program's global objects start clean);
# cross-built executables run whole, under the emulator.
function(hp_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        target_link_options(${name} PRIVATE -static)
        add_test(NAME ${name} COMMAND ${name})
        if(ARG_LABELS)
            set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
        endif()
    else()
        # Test discovery splits every property value on ";", so the labels
        # travel as one label ("platform+gtk"); ctest -L matches labels by
        # regular expression, so -L gtk still selects these tests.
        string(REPLACE ";" "+" labels "${ARG_LABELS}")
        # The user's data folder (the table of user-defined characters) is
        # the build's, never the home of whoever runs the tests.
        gtest_discover_tests(${name}
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
            PROPERTIES LABELS "${labels}"
                ENVIRONMENT "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-data-home"
            DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# hp_add_fuzzer(<name> SOURCES <files...> LIBS <targets...>)
# A libFuzzer target; only built with HOLLYPHONE_FUZZ (clang).
function(hp_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT HOLLYPHONE_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_property(GLOBAL APPEND PROPERTY HP_FUZZERS ${name})
endfunction()
