# The renderer: Velumira.dll, with its bitmap loader, textures and scene set-up.

set(_dir ${CMAKE_CURRENT_LIST_DIR})

# The note that tells the way out: its timing and its picture, tested in every
# world.
add_library(velumira_escape_note STATIC ${_dir}/escape_note.cpp)
target_include_directories(velumira_escape_note PUBLIC ${VELUMIRA_ROOT})
velumira_add_gtest(escape_note_tests SOURCES ${_dir}/tests/escape_note_test.cpp
                   LIBS velumira_escape_note)

if(NOT WIN32)
    return()
endif()

# Bitmap files, with the loader's messages, into textures and onto the cloth.
add_library(velumira_dib_loader STATIC ${_dir}/dib_loader_win.cpp ${_dir}/picture_file_win.cpp)
target_include_directories(velumira_dib_loader PUBLIC ${VELUMIRA_ROOT})
target_link_libraries(velumira_dib_loader PUBLIC velumira_texture velumira_cloth_gl
                      velumira_monitor_plan velumira_texts gdi32 user32 advapi32)

# The note on the screen: the input that brings it, and its drawing.
target_sources(velumira_escape_note PRIVATE ${_dir}/escape_note_win.cpp)
target_link_libraries(velumira_escape_note PUBLIC velumira_texts opengl32 gdi32 user32)

add_library(velumira_renderer_app STATIC ${_dir}/renderer_app_win.cpp ${_dir}/input_win.cpp
            ${_dir}/rest_win.cpp)
target_link_libraries(velumira_renderer_app PUBLIC velumira_dib_loader velumira_cloth_gl
                      velumira_monitor_plan velumira_scene velumira_escape_note winmm
                      wtsapi32)

# A GUI program that ships under a .dll name: the host starts it by that path.
add_executable(velumira_renderer WIN32 ${_dir}/main_win.cpp ${_dir}/renderer_manifest.rc)
set_source_files_properties(${_dir}/renderer_manifest.rc PROPERTIES
    OBJECT_DEPENDS ${_dir}/Velumira.dll.manifest)
set_target_properties(velumira_renderer PROPERTIES OUTPUT_NAME Velumira SUFFIX .dll
                      PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
target_link_libraries(velumira_renderer PRIVATE velumira_renderer_app)
velumira_add_identity(velumira_renderer ${_dir}/velumira_renderer.rc)

velumira_add_gtest(dib_loader_tests SOURCES ${_dir}/tests/loader_test_win.cpp
                   LIBS velumira_dib_loader)
target_compile_definitions(dib_loader_tests PRIVATE
    VELUMIRA_CORPUS_DIR="${VELUMIRA_ROOT}/texture/tests/corpus")

velumira_add_gtest(renderer_gl_tests SOURCES ${_dir}/tests/gl_test_win.cpp
                   LIBS velumira_dib_loader velumira_scene velumira_escape_note)

velumira_add_gtest(renderer_rest_tests SOURCES ${_dir}/tests/rest_test_win.cpp
                   LIBS velumira_renderer_app)

# End-to-end: the real program under Wine, watched from outside.
add_executable(velumira_window_probe ${_dir}/tests/window_probe_win.cpp)
target_link_libraries(velumira_window_probe PRIVATE user32)
foreach(case picture messages missing display note)
    velumira_add_wine_script(renderer_e2e_${case} TIMEOUT 240
        COMMAND ${_dir}/tests/renderer_e2e.sh ${case})
endforeach()

# Start-up and frame-rate measurements (run by hand under Wine, see the bench's
# header comment); not a test.
if(VELUMIRA_BENCHMARKS)
    add_executable(velumira_renderer_bench ${_dir}/tests/renderer_bench_win.cpp)
    target_link_libraries(velumira_renderer_bench PRIVATE velumira_renderer_app psapi)
endif()
