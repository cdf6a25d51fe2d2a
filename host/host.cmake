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

enable_language(RC)

add_library(velumira_host_win STATIC
    music_win.cpp saver_form_win.cpp physical_pixels_win.cpp preview_win.cpp)
target_link_libraries(velumira_host_win PUBLIC
    velumira_host_core velumira_monitor_plan user32 gdi32 winmm ole32 oleaut32 uuid)

set(VELUMIRA_PREVIEW_JPEG ${CMAKE_CURRENT_SOURCE_DIR}/preview/preview.jpg)
configure_file(velumira.rc.in ${CMAKE_CURRENT_BINARY_DIR}/velumira.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/velumira.rc PROPERTIES
    OBJECT_DEPENDS ${VELUMIRA_PREVIEW_JPEG})

# The deliverable: a GUI program with the screensaver suffix.
add_executable(Velumira_scr WIN32 host_win.cpp ${CMAKE_CURRENT_BINARY_DIR}/velumira.rc
                            host_manifest.rc)
set_source_files_properties(host_manifest.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Velumira.scr.manifest)
set_target_properties(Velumira_scr PROPERTIES OUTPUT_NAME Velumira SUFFIX .scr)
target_link_libraries(Velumira_scr PRIVATE
    velumira_host_win velumira_settings velumira_dialog comdlg32 shell32)

# ---- tests --------------------------------------------------------------
# A stand-in for the renderer, only for the host's own end-to-end tests.
add_executable(host_stand_in_renderer WIN32 tests/stand_in_renderer_win.cpp)
target_link_libraries(host_stand_in_renderer PRIVATE user32 gdi32)

velumira_add_gtest(host_e2e_tests TIMEOUT 240
    SOURCES tests/host_e2e_test_win.cpp LIBS velumira_host_core user32 gdi32)
target_compile_definitions(host_e2e_tests PRIVATE
    VELUMIRA_HOST_SCR="Z:$<TARGET_FILE:Velumira_scr>"
    VELUMIRA_STAND_IN="Z:$<TARGET_FILE:host_stand_in_renderer>")
add_dependencies(host_e2e_tests Velumira_scr host_stand_in_renderer)

velumira_add_gtest(host_win_tests
    SOURCES tests/host_win_test.cpp ${CMAKE_CURRENT_BINARY_DIR}/velumira.rc
    LIBS velumira_host_win)

foreach(case escape kill slow music)
    velumira_add_wine_script(host_saver_e2e_${case} TIMEOUT 180
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/saver_e2e.sh ${case})
endforeach()

# ---- release ------------------------------------------------------------
# Velumira.zip: the two programs and the user's readme, ready to unpack.
if(TARGET velumira_renderer)
    set(_stage ${CMAKE_BINARY_DIR}/release/Velumira)
    set(_zip ${CMAKE_BINARY_DIR}/Velumira.zip)
    add_custom_command(OUTPUT ${_zip}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Velumira_scr>
                $<TARGET_FILE:velumira_renderer> ${CMAKE_CURRENT_SOURCE_DIR}/release/README.txt
                ${_stage}
        COMMAND ${CMAKE_STRIP} --strip-debug ${_stage}/Velumira.scr ${_stage}/Velumira.dll
        COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
        COMMAND ${CMAKE_COMMAND} -E chdir ${_stage}
                ${CMAKE_COMMAND} -E tar cf ${_zip} --format=zip
                Velumira.scr Velumira.dll README.txt
        DEPENDS Velumira_scr velumira_renderer ${CMAKE_CURRENT_SOURCE_DIR}/release/README.txt
        COMMENT "Packing Velumira.zip")
    add_custom_target(velumira_release ALL DEPENDS ${_zip})

    velumira_add_wine_script(host_release_e2e TIMEOUT 180
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/saver_e2e.sh release)
endif()
