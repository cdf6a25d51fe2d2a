# The platform-free cloth model: built in every world, tested natively, under
# the sanitizers and under Wine, benchmarked natively.

set(VELUMIRA_CLOTH_MODEL_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cloth_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cloth_fast.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cloth_path_trial.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cloth_fast_sse2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cloth_fast_avx2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cloth_fast_avx512.cpp)

# Only these files may use AVX2 and AVX-512; they run only where the processor
# reports them. No FMA, which would change the bits. MinGW's x86-64 GCC
# assumes 32- and 64-byte aligned stack slots for vector spills that the
# Windows stack does not give, so the assembler turns aligned vector moves into
# unaligned ones there.
set(avx2_options -mavx2)
set(avx512_options -mavx512f)
if(WIN32)
    list(APPEND avx2_options -Wa,-muse-unaligned-vector-move)
    list(APPEND avx512_options -Wa,-muse-unaligned-vector-move)
endif()
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/cloth_fast_avx2.cpp
                            PROPERTIES COMPILE_OPTIONS "${avx2_options}")
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/cloth_fast_avx512.cpp
                            PROPERTIES COMPILE_OPTIONS "${avx512_options}")

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
            ${CMAKE_CURRENT_LIST_DIR}/tests/cloth_fiftieth_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/cloth_path_trial_test.cpp
            $<TARGET_OBJECTS:velumira_cloth_reference>
    LIBS velumira_cloth_model)

if(VELUMIRA_BENCHMARKS)
    # Self-timing, for every world (the Windows build is measured under Wine).
    add_executable(cloth_timing ${CMAKE_CURRENT_LIST_DIR}/bench/cloth_timing.cpp)
    target_link_libraries(cloth_timing PRIVATE velumira_cloth_model)
    if(NOT WIN32)
        find_package(benchmark REQUIRED)
        add_executable(cloth_bench ${CMAKE_CURRENT_LIST_DIR}/bench/cloth_bench.cpp)
        target_link_libraries(cloth_bench PRIVATE velumira_cloth_model benchmark::benchmark)
        # The machine's own limits for the step, measured apart from it.
        add_executable(cloth_floor ${CMAKE_CURRENT_LIST_DIR}/bench/cloth_floor.cpp)
        target_compile_options(cloth_floor PRIVATE -mavx512f)
    endif()
endif()

# The proof that the integration's divider-free 50ths match the division,
# over every float: a few seconds natively, so a test there; far slower under
# the sanitizers and not needed again under Wine.
if(NOT WIN32)
    find_package(Threads REQUIRED)
    add_executable(cloth_fiftieth_check ${CMAKE_CURRENT_LIST_DIR}/tests/cloth_fiftieth_check.cpp)
    target_include_directories(cloth_fiftieth_check PRIVATE ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(cloth_fiftieth_check PRIVATE Threads::Threads)
    if(NOT VELUMIRA_SANITIZE)
        add_test(NAME ${VELUMIRA_TEST_PREFIX}cloth_fiftieth_check COMMAND cloth_fiftieth_check 2)
        set_tests_properties(${VELUMIRA_TEST_PREFIX}cloth_fiftieth_check PROPERTIES TIMEOUT 300)
    endif()
endif()
