// step and computeNormals of the renderer's 60 x 40 cloth on every path,
// side by side in one run, and the trial that picks the path. Run with
// --benchmark_filter to pick some.
#include <cstdio>
#include <memory>
#include <string>

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

// What a trial costs on the swinging cloth; the label tells what the last
// one chose and the median steps that chose it.
void pathTrial(benchmark::State& state) {
    static const char* const names[] = {"plain", "sse2", "avx2", "avx512"};
    auto cloth = swingingCloth(ClothModel::bestPath());
    for (auto _ : state)
        cloth->choosePathByTrial();
    const ClothPathTrial& trial = cloth->pathTrial();
    std::string label = std::string("chose ") + names[static_cast<int>(cloth->path())] + ":";
    for (int k = 0; k < trial.count; ++k) {
        char part[48];
        std::snprintf(part, sizeof part, " %s %.2f us",
                      names[static_cast<int>(trial.timing[k].path)], trial.timing[k].medianMicros);
        label += part;
    }
    state.SetLabel(label);
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
BENCHMARK(pathTrial)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
