// The path trial's rounds and choice, driven with step times of machines
// where different paths win.
#include <map>

#include <gtest/gtest.h>

#include "cloth_path_trial.h"

namespace {

const ClothPath fastPaths[] = {ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512};

// Step times as a machine gives them: a slow first step on each path, then
// the path's own time with a little jitter and, now and then, a step that
// the machine interrupted.
class MachineTimes : public ClothStepTimer {
  public:
    explicit MachineTimes(std::map<ClothPath, double> typical) : typical_(typical) {}
    double stepMicros(ClothPath path) override {
        const int n = calls[path]++;
        if (n == 0) return 400.0;
        if (n % 6 == 0) return 20 * typical_[path];
        return typical_[path] + 0.05 * (n % 3);
    }
    std::map<ClothPath, int> calls;

  private:
    std::map<ClothPath, double> typical_;
};

} // namespace

TEST(ClothPathTrial, TheFastestMedianWinsWhicheverPathItIs) {
    struct Machine {
        double sse2, avx2, avx512;
        ClothPath fastest;
    };
    const Machine machines[] = {
        {28.1, 15.9, 21.0, ClothPath::Avx2},   // AVX-512 there, but slower than AVX2
        {27.0, 14.0, 12.2, ClothPath::Avx512}, // AVX-512 fastest
        {19.0, 20.0, 20.5, ClothPath::Sse2},   // wide units that cost more than they give
        {20.0, 19.5, 19.2, ClothPath::Avx512}, // a few per cent apart
    };
    for (const Machine& m : machines) {
        SCOPED_TRACE(m.avx512);
        MachineTimes times(
            {{ClothPath::Sse2, m.sse2}, {ClothPath::Avx2, m.avx2}, {ClothPath::Avx512, m.avx512}});
        const ClothPathTrial trial = measureClothPaths(fastPaths, 3, times, 1e9);
        EXPECT_EQ(trial.chosen, m.fastest);
        ASSERT_EQ(trial.count, 3);
        const double typical[] = {m.sse2, m.avx2, m.avx512};
        for (int k = 0; k < 3; ++k) {
            // The cold first step is not counted, the interrupted ones do
            // not move the median.
            EXPECT_EQ(trial.timing[k].path, fastPaths[k]);
            EXPECT_NEAR(trial.timing[k].medianMicros, typical[k], 0.11);
            EXPECT_EQ(times.calls[fastPaths[k]], trial.timing[k].samples + 1);
        }
    }
}

TEST(ClothPathTrial, StaysWithinItsBudget) {
    // Three paths at 100 us a step after a 400 us first step: the first round
    // costs 1200 us, each timed round 300 us.
    MachineTimes times(
        {{ClothPath::Sse2, 100.0}, {ClothPath::Avx2, 100.0}, {ClothPath::Avx512, 99.0}});
    const ClothPathTrial trial = measureClothPaths(fastPaths, 3, times, 2500.0);
    EXPECT_EQ(trial.timing[0].samples, 4);
    EXPECT_EQ(trial.chosen, ClothPath::Avx512);

    // With no time to spare, the least rounds still run.
    MachineTimes hurried({{ClothPath::Sse2, 30.0}, {ClothPath::Avx2, 20.0}});
    const ClothPathTrial quick = measureClothPaths(fastPaths, 2, hurried, 0.0);
    EXPECT_EQ(quick.count, 2);
    EXPECT_EQ(quick.timing[1].samples, clothTrialLeastRounds);
    EXPECT_EQ(quick.chosen, ClothPath::Avx2);
}

TEST(ClothPathTrial, APathFarBehindLeavesTheBudgetToTheCloseOnes) {
    // The 32-bit build under Wine here: SSE2 four times slower than the
    // other two, which are a few per cent apart.
    MachineTimes times(
        {{ClothPath::Sse2, 93.0}, {ClothPath::Avx2, 22.8}, {ClothPath::Avx512, 20.5}});
    const ClothPathTrial trial = measureClothPaths(fastPaths, 3, times, 2000.0);
    EXPECT_EQ(trial.chosen, ClothPath::Avx512);
    EXPECT_EQ(trial.timing[0].samples, clothTrialLeastRounds);
    EXPECT_GT(trial.timing[1].samples, clothTrialLeastRounds);
    EXPECT_EQ(trial.timing[2].samples, trial.timing[1].samples);
}

TEST(ClothPathTrial, TheStepAfterABreakIsNotAlwaysTheSamePaths) {
    // Every round's first step runs three times slower, as after the machine
    // ran something else; the first path in the list is the fastest.
    class BreakEachRound : public ClothStepTimer {
      public:
        double stepMicros(ClothPath path) override {
            const double typical = path == ClothPath::Sse2   ? 19.0
                                   : path == ClothPath::Avx2 ? 19.5
                                                             : 20.0;
            return calls++ % 3 == 0 ? 3 * typical : typical;
        }
        int calls = 0;
    } times;
    const ClothPathTrial trial = measureClothPaths(fastPaths, 3, times, 1e9);
    EXPECT_EQ(trial.chosen, ClothPath::Sse2);
    EXPECT_EQ(trial.timing[0].medianMicros, 19.0);
}
