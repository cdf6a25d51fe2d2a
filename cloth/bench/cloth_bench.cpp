// step and computeNormals of the renderer's 60 x 40 cloth on every path,
// side by side in one run. Run with --benchmark_filter to pick some.
#include <memory>

#include <benchmark/benchmark.h>

#include "cloth_model.h"

namespace {

// A cloth that has hung and swung for a while, so the springs are stretched
// as they are while the saver runs.
std::unique_ptr<ClothModel> swingingCloth(ClothPath path) {
    auto cloth = std::make_unique<ClothModel>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    cloth->setPath(ClothPath::Plain);
    for (int i = 0; i < 700; ++i)
        cloth->step();
    cloth->setPath(path);
    return cloth;
}

void step(benchmark::State& state, ClothPath path) {
    if (!ClothModel::pathSupported(path)) {
        state.SkipWithError("path not supported by this processor");
        return;
    }
    auto cloth = swingingCloth(path);
    for (auto _ : state) {
        cloth->step();
        benchmark::DoNotOptimize(cloth->positions);
        benchmark::ClobberMemory();
    }
}

void normals(benchmark::State& state, ClothPath path) {
    if (!ClothModel::pathSupported(path)) {
        state.SkipWithError("path not supported by this processor");
        return;
    }
    auto cloth = swingingCloth(path);
    for (auto _ : state) {
        cloth->computeNormals();
        benchmark::DoNotOptimize(cloth->normals);
        benchmark::ClobberMemory();
    }
}

void configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMicrosecond)->Repetitions(15)->ReportAggregatesOnly(true);
}

} // namespace

BENCHMARK_CAPTURE(step, plain, ClothPath::Plain)->Apply(configure);
BENCHMARK_CAPTURE(step, sse2, ClothPath::Sse2)->Apply(configure);
BENCHMARK_CAPTURE(step, avx2, ClothPath::Avx2)->Apply(configure);
BENCHMARK_CAPTURE(step, avx512, ClothPath::Avx512)->Apply(configure);
BENCHMARK_CAPTURE(normals, plain, ClothPath::Plain)->Apply(configure);
BENCHMARK_CAPTURE(normals, sse2, ClothPath::Sse2)->Apply(configure);
BENCHMARK_CAPTURE(normals, avx2, ClothPath::Avx2)->Apply(configure);
BENCHMARK_CAPTURE(normals, avx512, ClothPath::Avx512)->Apply(configure);

BENCHMARK_MAIN();
