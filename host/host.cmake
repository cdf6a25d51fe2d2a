# The screensaver host Velumira.scr: platform-free logic (built and tested in
# every world) and its Windows side.

add_library(velumira_host_core STATIC
    lenient_number.cpp host_main.cpp bgm.cpp saver.cpp bmp_file.cpp)
target_include_directories(velumira_host_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

if(NOT WIN32)
    velumira_add_gtest(host_logic_tests
        SOURCES tests/host_main_test.cpp tests/bgm_test.cpp tests/saver_test.cpp
                tests/bmp_file_test.cpp
        LIBS velumira_host_core)
    return()
endif()
