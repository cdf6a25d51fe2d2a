# The OpenGL side of the cloth: its picture texture and its drawing.
add_library(velumira_cloth_gl STATIC ${CMAKE_CURRENT_LIST_DIR}/cloth_gl.cpp)
target_include_directories(velumira_cloth_gl PUBLIC ${VELUMIRA_ROOT})
target_link_libraries(velumira_cloth_gl PUBLIC velumira_cloth_model velumira_texture)
