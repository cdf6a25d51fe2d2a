// A self-timing benchmark for worlds without Google Benchmark (the Windows
// build under Wine): median microseconds per call of step and computeNormals
// on every path, the paths interleaved round by round so that a busy machine
// slows them alike.
//
//   cloth_timing [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "cloth_model.h"

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

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 301;
    std::vector<Variant> variants;
    for (bool normals : {false, true}) {
        const char* what = normals ? "normals" : "step";
        for (ClothPath path :
             {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
            if (!ClothModel::pathSupported(path)) continue;
            static const char* const pathNames[] = {"plain", "sse2", "avx2", "avx512"};
            Variant v{nullptr, path, normals, nullptr, {}};
            static char names[8][32];
            char* name = names[variants.size()];
            std::snprintf(name, sizeof names[0], "%s/%s", what, pathNames[static_cast<int>(path)]);
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
    for (Variant& v : variants) {
        const double m = median(v.samples);
        if (v.path == ClothPath::Plain) plain[v.normals] = m;
        const double ratio = plain[v.normals] > 0.0 ? plain[v.normals] / m : 0.0;
        std::printf("%-16s %12.2f %12.2f %9.2fx\n", v.name, m,
                    *std::min_element(v.samples.begin(), v.samples.end()), ratio);
    }
    return 0;
}
