# The platform-free cloth model: built in every world, tested natively, under
# the sanitizers and under Wine, benchmarked natively.

set(VELUMIRA_CLOTH_MODEL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cloth_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cloth_fast.cpp)

# GCC 12's vectorizer drops the float rounding between the damping and the
# force update of the integration (it reuses the unrounded double), so the
# optimised step drifts from the written one after a few steps. The fast paths
# are vectorised by hand; the compiler must not vectorise anything here.
set(VELUMIRA_CLOTH_MODEL_OPTIONS -fno-tree-vectorize)

add_library(velumira_cloth_model STATIC ${VELUMIRA_CLOTH_MODEL_SOURCES})
target_include_directories(velumira_cloth_model PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(velumira_cloth_model PRIVATE ${VELUMIRA_CLOTH_MODEL_OPTIONS})

# The same sources again without optimisation, in a namespace of their own: the
# determinism test compares the optimised build against them bit for bit.
add_library(velumira_cloth_reference OBJECT ${VELUMIRA_CLOTH_MODEL_SOURCES}
            ${CMAKE_CURRENT_LIST_DIR}/tests/cloth_reference.cpp)
target_include_directories(velumira_cloth_reference PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(velumira_cloth_reference PRIVATE VELUMIRA_CLOTH_BUILD=unoptimised)
target_compile_options(velumira_cloth_reference PRIVATE ${VELUMIRA_CLOTH_MODEL_OPTIONS} -O0)

velumira_add_gtest(cloth_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/cloth_model_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/cloth_determinism_test.cpp
            $<TARGET_OBJECTS:velumira_cloth_reference>
    LIBS velumira_cloth_model)
