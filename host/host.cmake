# The screensaver host Velumira.scr: platform-free logic (built and tested in
# every world) and its Windows side.

add_library(velumira_host_core STATIC
    lenient_number.cpp host_main.cpp bgm.cpp saver.cpp bmp_file.cpp whole_file.cpp
    preview_picture.cpp)
target_include_directories(velumira_host_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(velumira_host_core PUBLIC velumira_settings_core velumira_texture_core
                      velumira_texts)

if(NOT WIN32)
    velumira_add_gtest(host_logic_tests
        SOURCES tests/host_main_test.cpp tests/bgm_test.cpp tests/saver_test.cpp
                tests/bmp_file_test.cpp tests/whole_file_test.cpp
        LIBS velumira_host_core)
    return()
endif()

add_library(velumira_host_win STATIC
    music_win.cpp saver_form_win.cpp physical_pixels_win.cpp preview_win.cpp
    preview_cloth_win.cpp whole_file_win.cpp)
target_link_libraries(velumira_host_win PUBLIC
    velumira_host_core velumira_monitor_plan velumira_scene
    user32 gdi32 advapi32 winmm ole32 oleaut32 uuid)

set(VELUMIRA_PREVIEW_JPEG ${CMAKE_CURRENT_SOURCE_DIR}/preview/preview.jpg)
set(VELUMIRA_PREVIEW_DESKTOP ${CMAKE_CURRENT_SOURCE_DIR}/preview/desktop.bmp)
configure_file(velumira.rc.in ${CMAKE_CURRENT_BINARY_DIR}/velumira.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/velumira.rc PROPERTIES
    OBJECT_DEPENDS "${VELUMIRA_PREVIEW_JPEG};${VELUMIRA_PREVIEW_DESKTOP}")

# The deliverable: a GUI program with the screensaver suffix.
add_executable(Velumira_scr WIN32 host_win.cpp host_manifest.rc)
set_source_files_properties(host_manifest.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Velumira.scr.manifest)
velumira_add_identity(Velumira_scr ${CMAKE_CURRENT_BINARY_DIR}/velumira.rc)
set_target_properties(Velumira_scr PROPERTIES OUTPUT_NAME Velumira SUFFIX .scr)
target_link_libraries(Velumira_scr PRIVATE
    velumira_host_win velumira_settings velumira_dialog comdlg32 shell32)

# ---- tests --------------------------------------------------------------
# A stand-in for the renderer, only for the host's own end-to-end tests.
add_executable(host_stand_in_renderer WIN32 tests/stand_in_renderer_win.cpp)
target_link_libraries(host_stand_in_renderer PRIVATE user32 gdi32)

# The display settings' side of a moving preview, for its measurement
# (bench/measure_preview.sh).
if(VELUMIRA_BENCHMARKS)
    add_executable(velumira_preview_area bench/preview_area_win.cpp)
    target_include_directories(velumira_preview_area PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(velumira_preview_area PRIVATE user32 gdi32)
endif()

# What a process holds, sampled from outside by the long-run command.
add_executable(host_process_probe tests/process_probe_win.cpp)
target_link_libraries(host_process_probe PRIVATE user32 psapi)

# Who may open a file, read back from outside by the end-to-end runs.
add_executable(host_file_access_probe tests/file_access_probe_win.cpp)
target_link_libraries(host_file_access_probe PRIVATE velumira_monitor_plan advapi32)

velumira_add_gtest(host_e2e_tests TIMEOUT 240
    SOURCES tests/host_e2e_test_win.cpp LIBS velumira_host_core velumira_scene user32 gdi32)
target_compile_definitions(host_e2e_tests PRIVATE
    VELUMIRA_HOST_SCR="Z:$<TARGET_FILE:Velumira_scr>"
    VELUMIRA_STAND_IN="Z:$<TARGET_FILE:host_stand_in_renderer>")
add_dependencies(host_e2e_tests Velumira_scr host_stand_in_renderer)
# The preview's tests again where no window gets OpenGL: the still instead.
velumira_add_wine_script(host_e2e_preview_without_opengl WORLD nogl TIMEOUT 120
    COMMAND ${VELUMIRA_WINE_RUN} ${CMAKE_BINARY_DIR} $<TARGET_FILE:host_e2e_tests>
            --gtest_filter=HostE2E.Preview*)
if(TEST ${VELUMIRA_TEST_PREFIX}host_e2e_preview_without_opengl)
    set_property(TEST ${VELUMIRA_TEST_PREFIX}host_e2e_preview_without_opengl APPEND
                 PROPERTY ENVIRONMENT VELUMIRA_WORLD_WITHOUT_OPENGL=1)
endif()

velumira_add_gtest(host_win_tests SOURCES tests/host_win_test.cpp LIBS velumira_host_win)
velumira_add_identity(host_win_tests ${CMAKE_CURRENT_BINARY_DIR}/velumira.rc)

foreach(case escape kill slow music early-kill snapshot-fails foreground)
    velumira_add_wine_script(host_saver_e2e_${case} TIMEOUT 180
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/saver_e2e.sh ${case})
endforeach()

# The long-run command's short version: a minute and a half of the renderer,
# five saver starts.
if(TARGET velumira_renderer)
    velumira_add_wine_script(host_soak_short TIMEOUT 600
        COMMAND ${VELUMIRA_ROOT}/tools/soak --short)
endif()

# ---- release ------------------------------------------------------------
# The two programs stripped, with their symbols kept beside them as
# <program>.debug (found by gdb through the debug link) for crash analysis;
# from them Velumira.zip, the portable copy, and the installer
# Velumira-<version>-setup.exe (Velumira-<version>-win64-setup.exe from a
# 64-bit tree, for tests under wine64).
if(TARGET velumira_renderer)
    set(_stage ${CMAKE_BINARY_DIR}/release/Velumira)
    set(_zip ${CMAKE_BINARY_DIR}/Velumira.zip)
    set(_readme ${CMAKE_CURRENT_SOURCE_DIR}/release/README.txt)
    set(_staged ${_stage}/Velumira.scr ${_stage}/Velumira.dll ${_stage}/README.txt)
    set(_strip)
    foreach(program ${_stage}/Velumira.scr ${_stage}/Velumira.dll)
        list(APPEND _strip
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${program}.debug
            COMMAND ${CMAKE_STRIP} --strip-all ${program}
            COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${program}.debug ${program})
    endforeach()
    add_custom_command(OUTPUT ${_staged}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Velumira_scr>
                $<TARGET_FILE:velumira_renderer> ${_readme} ${_stage}
        ${_strip}
        DEPENDS Velumira_scr velumira_renderer ${_readme}
        COMMENT "Stripping the programs into release/Velumira")

    add_custom_command(OUTPUT ${_zip}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
        COMMAND ${CMAKE_COMMAND} -E tar cf ${_zip} --format=zip
                Velumira.scr Velumira.dll README.txt
        WORKING_DIRECTORY ${_stage}
        DEPENDS ${_staged}
        COMMENT "Packing Velumira.zip")

    find_program(VELUMIRA_MAKENSIS makensis REQUIRED)
    set(_nsi ${VELUMIRA_ROOT}/installer/velumira.nsi)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(VELUMIRA_SETUP ${CMAKE_BINARY_DIR}/Velumira-${PROJECT_VERSION}-win64-setup.exe)
        set(_bits -DWIN64)
    else()
        set(VELUMIRA_SETUP ${CMAKE_BINARY_DIR}/Velumira-${PROJECT_VERSION}-setup.exe)
        set(_bits)
    endif()
    set(VELUMIRA_SETUP ${VELUMIRA_SETUP} PARENT_SCOPE)
    add_custom_command(OUTPUT ${VELUMIRA_SETUP}
        COMMAND ${VELUMIRA_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8 ${_bits}
                -DVERSION=${PROJECT_VERSION} "-DPUBLISHER=${VELUMIRA_PUBLISHER}"
                "-DCOPYRIGHT=${VELUMIRA_COPYRIGHT}" -DSTAGE=${_stage} -DICON=${VELUMIRA_ICON}
                -DWELCOME=${VELUMIRA_WELCOME_BMP}
                -DOUTFILE=${VELUMIRA_SETUP} ${_nsi}
        DEPENDS ${_staged} ${_nsi} ${VELUMIRA_ICON} ${VELUMIRA_WELCOME_BMP}
        VERBATIM
        COMMENT "Building the installer")
    add_custom_target(velumira_release ALL DEPENDS ${_zip} ${VELUMIRA_SETUP})
    add_dependencies(velumira_release velumira_icon)

    velumira_add_wine_script(host_release_e2e TIMEOUT 180
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/saver_e2e.sh release)
endif()
