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
    double spent = 0.0;
    double round = 0.0;
    for (int k = 0; k < trial.count; ++k)
        round += timer.stepMicros(paths[k]);
    spent += round;
    int rounds = 0;
    while (rounds < clothTrialRounds && (rounds == 0 || spent + round <= budgetMicros)) {
        round = 0.0;
        for (int k = 0; k < trial.count; ++k) {
            samples[k][rounds] = timer.stepMicros(paths[k]);
            round += samples[k][rounds];
        }
        spent += round;
        ++rounds;
    }
    for (int k = 0; k < trial.count; ++k) {
        double* s = samples[k];
        std::nth_element(s, s + rounds / 2, s + rounds);
        trial.timing[k] = {paths[k], s[rounds / 2], rounds};
    }
    int best = 0;
    for (int k = 1; k < trial.count; ++k)
        if (trial.timing[k].medianMicros < trial.timing[best].medianMicros) best = k;
    trial.chosen = trial.timing[best].path;
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
