#include "cloth_path_trial.h"

#include <algorithm>
#include <chrono>

inline namespace VELUMIRA_CLOTH_BUILD {

namespace {

using Clock = std::chrono::steady_clock;

double microsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The scratch cloth's own steps; its path is set for every step.
class ScratchSteps : public ClothStepTimer {
  public:
    explicit ScratchSteps(ClothModel& scratch) : scratch_(scratch) {}
    double stepMicros(ClothPath path) override {
        scratch_.setPath(path);
        const Clock::time_point start = Clock::now();
        scratch_.step();
        return microsSince(start);
    }

  private:
    ClothModel& scratch_;
};

} // namespace

ClothPathTrial measureClothPaths(const ClothPath* paths, int count, ClothStepTimer& timer,
                                 double budgetMicros) {
    ClothPathTrial trial;
    trial.count = std::max(0, std::min(count, clothPathCount));
    if (trial.count == 0) return trial;
    double samples[clothPathCount][clothTrialRounds];
    int taken[clothPathCount] = {};
    bool racing[clothPathCount] = {};
    int stillRacing = trial.count;
    auto median = [&](int k) {
        double sorted[clothTrialRounds];
        std::copy(samples[k], samples[k] + taken[k], sorted);
        std::nth_element(sorted, sorted + taken[k] / 2, sorted + taken[k]);
        return sorted[taken[k] / 2];
    };

    double round = 0.0;
    for (int k = 0; k < trial.count; ++k) {
        racing[k] = true;
        round += timer.stepMicros(paths[k]);
    }
    double spent = round;
    for (int r = 0; r < clothTrialRounds; ++r) {
        if (r > 0 && stillRacing == 1) break;
        if (r >= clothTrialLeastRounds && spent + round > budgetMicros) break;
        round = 0.0;
        // Each round starts on another path: the step after the machine
        // was away pays for the caches it left cold.
        for (int i = 0; i < trial.count; ++i) {
            const int k = (i + r) % trial.count;
            if (!racing[k]) continue;
            const double t = timer.stepMicros(paths[k]);
            samples[k][taken[k]++] = t;
            round += t;
        }
        spent += round;
        if (r + 1 != clothTrialLeastRounds) continue;
        double best = median(0);
        for (int k = 1; k < trial.count; ++k)
            best = std::min(best, median(k));
        for (int k = 0; k < trial.count; ++k)
            if (median(k) > clothTrialPruneRatio * best) {
                racing[k] = false;
                --stillRacing;
            }
    }

    int chosen = -1;
    for (int k = 0; k < trial.count; ++k) {
        trial.timing[k] = {paths[k], median(k), taken[k]};
        if (racing[k] &&
            (chosen < 0 || trial.timing[k].medianMicros < trial.timing[chosen].medianMicros))
            chosen = k;
    }
    trial.chosen = paths[chosen];
    return trial;
}

ClothPathTrial timeClothPaths(const ClothModel& cloth, const ClothPath* paths, int count) {
    const Clock::time_point start = Clock::now();
    ClothPathTrial trial;
    {
        const std::unique_ptr<ClothModel> scratch = cloth.scratchCopy();
        ScratchSteps steps(*scratch);
        trial = measureClothPaths(paths, count, steps, clothTrialBudgetMicros - microsSince(start));
    }
    trial.costMicros = microsSince(start);
    return trial;
}

} // namespace VELUMIRA_CLOTH_BUILD
