# The renderer: Velumira.dll, with its bitmap loader, textures and scene set-up.

set(_dir ${CMAKE_CURRENT_LIST_DIR})

# Bounds checks of bitmap files: platform-free, tested in every world.
add_library(velumira_dib_layout STATIC ${_dir}/dib_layout.cpp)
target_include_directories(velumira_dib_layout PUBLIC ${VELUMIRA_ROOT})

velumira_add_gtest(dib_layout_tests SOURCES ${_dir}/tests/dib_layout_test.cpp
                   LIBS velumira_dib_layout)
target_compile_definitions(dib_layout_tests PRIVATE
    VELUMIRA_CORPUS_DIR="${_dir}/tests/corpus")

# The picture's texture as GLU builds it, and the bitmaps read without GDI:
# platform-free, tested in every world against slow models of the same
# arithmetic (and under Wine against GLU itself).
find_package(Threads REQUIRED)
add_library(velumira_texture_core STATIC ${_dir}/texture_level.cpp ${_dir}/dib_direct.cpp)
target_include_directories(velumira_texture_core PUBLIC ${VELUMIRA_ROOT})
target_link_libraries(velumira_texture_core PUBLIC velumira_dib_layout Threads::Threads)
velumira_add_gtest(texture_core_tests SOURCES ${_dir}/tests/texture_level_test.cpp
                   ${_dir}/tests/dib_direct_test.cpp LIBS velumira_texture_core)

# Pacing of the cloth and the frames: platform-free, tested in every world.
add_library(velumira_frame_loop STATIC ${_dir}/frame_loop.cpp)
target_include_directories(velumira_frame_loop PUBLIC ${VELUMIRA_ROOT})
velumira_add_gtest(frame_loop_tests SOURCES ${_dir}/tests/frame_loop_test.cpp
                   LIBS velumira_frame_loop)

if(NOT WIN32)
    return()
endif()

add_library(velumira_texture STATIC ${_dir}/dib_loader_win.cpp ${_dir}/texture_win.cpp
                                    ${_dir}/gl_scene_win.cpp)
target_include_directories(velumira_texture PUBLIC ${VELUMIRA_ROOT})
target_link_libraries(velumira_texture PUBLIC velumira_dib_layout velumira_texture_core
                      velumira_monitor_plan glu32 opengl32 gdi32 user32 advapi32)

add_library(velumira_renderer_app STATIC ${_dir}/renderer_app_win.cpp)
target_link_libraries(velumira_renderer_app PUBLIC velumira_cloth_gl velumira_texture
                      velumira_monitor_plan velumira_frame_loop winmm)

# A GUI program that ships under a .dll name: the host starts it by that path.
add_executable(velumira_renderer WIN32 ${_dir}/main_win.cpp ${_dir}/renderer_manifest.rc)
set_source_files_properties(${_dir}/renderer_manifest.rc PROPERTIES
    OBJECT_DEPENDS ${_dir}/Velumira.dll.manifest)
set_target_properties(velumira_renderer PROPERTIES OUTPUT_NAME Velumira SUFFIX .dll
                      PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
target_link_libraries(velumira_renderer PRIVATE velumira_renderer_app)
velumira_add_identity(velumira_renderer ${_dir}/velumira_renderer.rc)

velumira_add_gtest(dib_loader_tests SOURCES ${_dir}/tests/loader_test_win.cpp
                   LIBS velumira_texture)
target_compile_definitions(dib_loader_tests PRIVATE VELUMIRA_CORPUS_DIR="${_dir}/tests/corpus")

velumira_add_gtest(renderer_gl_tests SOURCES ${_dir}/tests/gl_test_win.cpp
                   LIBS velumira_cloth_gl velumira_texture)

# End-to-end: the real program under Wine, watched from outside.
add_executable(velumira_window_probe ${_dir}/tests/window_probe_win.cpp)
target_link_libraries(velumira_window_probe PRIVATE user32)
foreach(case picture messages missing display)
    velumira_add_wine_script(renderer_e2e_${case} TIMEOUT 240
        COMMAND ${_dir}/tests/renderer_e2e.sh ${case})
endforeach()

# Start-up and frame-rate measurements (run by hand under Wine, see the bench's
# header comment); not a test.
if(VELUMIRA_BENCHMARKS)
    add_executable(velumira_renderer_bench ${_dir}/tests/renderer_bench_win.cpp)
    target_link_libraries(velumira_renderer_bench PRIVATE velumira_renderer_app psapi)
endif()
