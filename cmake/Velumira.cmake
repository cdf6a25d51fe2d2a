# Flags and helpers shared by every part of the tree.

# Float results must be the same bits in every build: SSE arithmetic (no x87
# excess precision) and no fused multiply-add.
add_compile_options(-Wall -Wextra -msse2 -mfpmath=sse -ffp-contract=off)

if(VELUMIRA_FUZZ)
    # Coverage feedback for libFuzzer in every library; the fuzz targets add
    # the fuzzer's own main when they link.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
elseif(VELUMIRA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    # No MinGW DLLs beside the programs.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
    set(VELUMIRA_WORLD win)
    enable_language(RC)
else()
    set(VELUMIRA_WORLD native)
endif()

set(VELUMIRA_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
get_filename_component(VELUMIRA_ROOT ${VELUMIRA_ROOT} ABSOLUTE)

# GoogleTest from Debian's source package, built with this tree's flags so the
# sanitizer and cross builds get a matching copy.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    message(FATAL_ERROR "GoogleTest source missing: apt-get install googletest")
endif()

# Windows tests need the Wine fixture (prefix + Xvfb) that tests/ registers.
set(VELUMIRA_WINE_FIXTURE ${VELUMIRA_TEST_PREFIX}wine)
set(VELUMIRA_WINE_RUN ${VELUMIRA_ROOT}/tools/wine-run)

# velumira_add_gtest(<target> SOURCES ... [LIBS ...] [TIMEOUT s])
# Builds a GoogleTest executable and registers it as one CTest test. In the
# Windows world it runs under Wine, one Wine test at a time on the run's one X
# display.
function(velumira_add_gtest target)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    # The fuzz tree defines the tests without building or running them: the
    # asan tree runs them already.
    if(VELUMIRA_FUZZ)
        add_executable(${target} EXCLUDE_FROM_ALL ${ARG_SOURCES})
    else()
        add_executable(${target} ${ARG_SOURCES})
    endif()
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    target_include_directories(${target} PRIVATE ${VELUMIRA_ROOT}/tests/support)
    set(name ${VELUMIRA_TEST_PREFIX}${target})
    if(VELUMIRA_FUZZ)
        return()
    elseif(WIN32)
        if(NOT VELUMIRA_WINE_TESTS)
            return()
        endif()
        add_test(NAME ${name} COMMAND ${VELUMIRA_WINE_RUN} ${CMAKE_BINARY_DIR}
                                      $<TARGET_FILE:${target}>)
        # Every Wine test takes the prefix in turn: a second Wine process
        # started beside a windowed one stalls until that one ends, and the
        # stall would count against its timeout.
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${VELUMIRA_WINE_FIXTURE}
                                                RESOURCE_LOCK ${VELUMIRA_WINE_FIXTURE}-display)
    else()
        add_test(NAME ${name} COMMAND ${target})
    endif()
    if(ARG_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
        set_tests_properties(${name} PROPERTIES TIMEOUT 300)
    endif()
endfunction()

# velumira_add_wine_script(<name> COMMAND <script> args... [TIMEOUT s] [WORLD w])
# A shell-driven end-to-end test run against the Wine fixture; the script gets
# the build dir's Wine environment through tools/wine-env. WORLD picks one of
# the other Wine worlds tests/ sets up: "two" (two monitors), "hidpi" (144 dpi),
# "nogl" (no OpenGL) or "en" (an English system, code page 1252).
function(velumira_add_wine_script name)
    cmake_parse_arguments(ARG "" "TIMEOUT;WORLD" "COMMAND" ${ARGN})
    if(NOT WIN32 OR NOT VELUMIRA_WINE_TESTS)
        return()
    endif()
    set(full ${VELUMIRA_TEST_PREFIX}${name})
    set(fixture ${VELUMIRA_WINE_FIXTURE})
    set(env "VELUMIRA_BUILD=${CMAKE_BINARY_DIR};VELUMIRA_ROOT=${VELUMIRA_ROOT}")
    if(ARG_WORLD)
        set(fixture ${VELUMIRA_WINE_FIXTURE}-${ARG_WORLD})
        list(APPEND env "VELUMIRA_WINE_STATE=${CMAKE_BINARY_DIR}/wine-${ARG_WORLD}")
    endif()
    add_test(NAME ${full} COMMAND ${ARG_COMMAND})
    set_tests_properties(${full} PROPERTIES FIXTURES_REQUIRED ${fixture} ENVIRONMENT "${env}")
    set_tests_properties(${full} PROPERTIES RESOURCE_LOCK ${VELUMIRA_WINE_FIXTURE}-display)
    if(ARG_TIMEOUT)
        set_tests_properties(${full} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
        set_tests_properties(${full} PROPERTIES TIMEOUT 300)
    endif()
endfunction()

# Who the programs say they are: icon and version information, shared by both
# programs' resources (each defines its own description and file name first,
# then includes this) and by the installer.
set(VELUMIRA_PUBLISHER "The Velumira developers")
set(VELUMIRA_COPYRIGHT "Copyright (C) 2026 ${VELUMIRA_PUBLISHER}")
if(WIN32)
    set(VELUMIRA_ICON ${CMAKE_BINARY_DIR}/icon/velumira.ico)
    set(VELUMIRA_WELCOME_BMP ${CMAKE_BINARY_DIR}/icon/velumira-welcome.bmp)
    set(VELUMIRA_IDENTITY_RC ${CMAKE_BINARY_DIR}/velumira_identity.rc)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/identity.rc.in ${VELUMIRA_IDENTITY_RC} @ONLY)

    # velumira_add_identity(<target> <resource-file>): the program's resources
    # with the shared icon and version information, rebuilt when they change.
    function(velumira_add_identity target rc)
        target_sources(${target} PRIVATE ${rc})
        target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR})
        set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
                     ${VELUMIRA_ICON} ${VELUMIRA_IDENTITY_RC})
        add_dependencies(${target} velumira_icon)
    endfunction()
endif()
