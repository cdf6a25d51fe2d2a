// Checks the divider-free 50ths of cloth_fiftieth.h against the double
// division for every 32-bit float pattern: x / 50 and 0.375 * x / 50
// (2 x 2^32 divisions, a few seconds). Exits 1 on any difference.
//
//   cloth_fiftieth_check [threads]
#include <atomic>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "cloth_fiftieth.h"
#include "fiftieth_reference.h"

namespace {

using namespace fiftiethReference;

struct Result {
    std::uint64_t floatMismatches = 0;
    std::uint64_t forceMismatches = 0;
    std::uint32_t firstFloat = 0;
    std::uint32_t firstForce = 0;
};

void checkRange(std::uint64_t begin, std::uint64_t end, Result& r) {
    for (std::uint64_t i = begin; i < end; ++i) {
        const std::uint32_t pattern = static_cast<std::uint32_t>(i);
        const float f = floatOf(pattern);
        const double d = f;
        if (bitsOf(clothFiftieth::ofFloat(f)) != bitsOf(divide(d))) {
            if (r.floatMismatches++ == 0) r.firstFloat = pattern;
        }
        const double scaled = static_cast<double>(clothFiftieth::forceScale) * d;
        if (bitsOf(clothFiftieth::ofForce(f)) != bitsOf(divide(scaled))) {
            if (r.forceMismatches++ == 0) r.firstForce = pattern;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const int threads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2;
    const std::uint64_t total = std::uint64_t{1} << 32;
    std::vector<Result> results(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        const std::uint64_t begin = total * t / threads;
        const std::uint64_t end = total * (t + 1) / threads;
        workers.emplace_back(checkRange, begin, end, std::ref(results[t]));
    }
    for (std::thread& w : workers)
        w.join();

    Result all;
    for (const Result& r : results) {
        if (all.floatMismatches == 0 && r.floatMismatches != 0) all.firstFloat = r.firstFloat;
        if (all.forceMismatches == 0 && r.forceMismatches != 0) all.firstForce = r.firstForce;
        all.floatMismatches += r.floatMismatches;
        all.forceMismatches += r.forceMismatches;
    }
    std::printf("high = %a, low = %a, forceHigh = %a, forceLow = %a\n", clothFiftieth::high,
                clothFiftieth::low, clothFiftieth::forceHigh, clothFiftieth::forceLow);
    std::printf("x / 50:         %" PRIu64 " of %" PRIu64 " patterns differ", all.floatMismatches,
                total);
    if (all.floatMismatches != 0) std::printf(" (first 0x%08" PRIx32 ")", all.firstFloat);
    std::printf("\n0.375 * x / 50: %" PRIu64 " of %" PRIu64 " patterns differ", all.forceMismatches,
                total);
    if (all.forceMismatches != 0) std::printf(" (first 0x%08" PRIx32 ")", all.firstForce);
    std::printf("\n");
    return all.floatMismatches == 0 && all.forceMismatches == 0 ? 0 : 1;
}
