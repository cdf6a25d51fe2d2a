// A self-timing benchmark for worlds without Google Benchmark (the Windows
// build under Wine): first the path trials as the renderer's steps run them,
// on new cloths, with what each measured and chose and what it cost; then
// median microseconds per call of step and computeNormals on every
// path, the paths interleaved round by round so that a busy machine slows
// them alike; last, how the chosen paths' medians compare with the fastest's.
//
//   cloth_timing [rounds] [trials]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "cloth_model.h"
#include "cloth_path_trial.h"

namespace {

struct Variant {
    const char* name;
    ClothPath path;
    bool normals;
    std::unique_ptr<ClothModel> cloth;
    std::vector<double> samples;
    int calls = 1;
};

double timeCalls(Variant& v, int calls) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        if (v.normals)
            v.cloth->computeNormals();
        else
            v.cloth->step();
    }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(end - start).count() / calls;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

const char* const pathNames[] = {"plain", "sse2", "avx2", "avx512"};

const char* nameOf(ClothPath path) {
    return pathNames[static_cast<int>(path)];
}

void printTrial(const char* when, const ClothPathTrial& trial) {
    std::printf("  %-12s %-7s %8.0f ", when, nameOf(trial.chosen), trial.costMicros);
    for (int k = 0; k < trial.count; ++k)
        std::printf(" %s %.2f (%d)", nameOf(trial.timing[k].path), trial.timing[k].medianMicros,
                    trial.timing[k].samples);
    std::printf("\n");
}

// New cloths stepped as the renderer steps its own: the first step's trial,
// and the one that stands, made once the sheet swings.
std::vector<ClothPathTrial> runTrials(int trials) {
    std::vector<ClothPathTrial> out;
    std::printf("path trials   %-7s %8s  %s\n", "chose", "cost_us",
                "median step us (steps timed) per path");
    for (int t = 0; t < trials; ++t) {
        ClothModel cloth(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
        cloth.step();
        if (cloth.pathTrial().count == 0) {
            std::printf("  one fast path at most: nothing to measure, %s runs\n",
                        nameOf(cloth.path()));
            return out;
        }
        printTrial("first step", cloth.pathTrial());
        for (int i = 0; i < clothSettleSteps; ++i)
            cloth.step();
        printTrial("swinging", cloth.pathTrial());
        out.push_back(cloth.pathTrial());
    }
    std::printf("\n");
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 301;
    const int trials = argc > 2 ? std::max(0, std::atoi(argv[2])) : 9;
    const std::vector<ClothPathTrial> chosen = runTrials(trials);

    std::vector<Variant> variants;
    for (bool normals : {false, true}) {
        const char* what = normals ? "normals" : "step";
        for (ClothPath path :
             {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
            if (!ClothModel::pathSupported(path)) continue;
            Variant v{nullptr, path, normals, nullptr, {}};
            static char names[8][32];
            char* name = names[variants.size()];
            std::snprintf(name, sizeof names[0], "%s/%s", what, nameOf(path));
            v.name = name;
            v.cloth = std::make_unique<ClothModel>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
            v.cloth->setPath(ClothPath::Plain);
            for (int i = 0; i < 700; ++i)
                v.cloth->step();
            v.cloth->setPath(path);
            variants.push_back(std::move(v));
        }
    }
    // Short samples of about the same duration for every variant, so that on a
    // busy machine most of them run undisturbed and all are disturbed alike.
    for (Variant& v : variants) {
        const double perCall = std::max(0.1, timeCalls(v, 20));
        v.calls = std::max(1, std::min(200, static_cast<int>(300.0 / perCall)));
    }
    for (int r = 0; r < rounds; ++r)
        for (Variant& v : variants)
            v.samples.push_back(timeCalls(v, v.calls));

    std::printf("%-16s %12s %12s %10s\n", "variant", "median_us", "min_us", "vs_plain");
    double plain[2] = {0.0, 0.0};
    double stepMedian[clothPathCount] = {};
    double fastest = 0.0;
    for (Variant& v : variants) {
        const double m = median(v.samples);
        if (v.path == ClothPath::Plain) plain[v.normals] = m;
        const double ratio = plain[v.normals] > 0.0 ? plain[v.normals] / m : 0.0;
        std::printf("%-16s %12.2f %12.2f %9.2fx\n", v.name, m,
                    *std::min_element(v.samples.begin(), v.samples.end()), ratio);
        if (!v.normals) {
            stepMedian[static_cast<int>(v.path)] = m;
            if (fastest == 0.0 || m < fastest) fastest = m;
        }
    }

    // Each choice that stands against the fastest step measured above.
    std::printf("\n");
    for (size_t t = 0; t < chosen.size(); ++t) {
        const double m = stepMedian[static_cast<int>(chosen[t].chosen)];
        std::printf("trial %zu chose %-7s step median %6.2f us, %+5.1f%% against the fastest\n",
                    t + 1, nameOf(chosen[t].chosen), m, 100.0 * (m / fastest - 1.0));
    }
    return 0;
}
