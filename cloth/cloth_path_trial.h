// Picking a cloth's path by timing them: the rounds and the choice, apart
// from the clock, so that they can be driven with timings of any machine.
#pragma once

#include "cloth_model.h"

inline namespace VELUMIRA_CLOTH_BUILD {

// Runs one step on a path and tells how long it took.
class ClothStepTimer {
  public:
    virtual double stepMicros(ClothPath path) = 0;

  protected:
    ~ClothStepTimer() = default;
};

// At most this many timed steps per path, and no round begun that would end
// past this bound, counted from the start of copying the cloth (the least
// rounds excepted; freeing the copy comes on top, some 50 us).
constexpr int clothTrialRounds = 31;
constexpr double clothTrialBudgetMicros = 1500.0;
// So many rounds run whatever the budget, so that no single step a busy
// machine interrupted decides. After them a path whose median is this far
// behind the best is timed no more, and the close ones share the rest.
constexpr int clothTrialLeastRounds = 3;
constexpr double clothTrialPruneRatio = 1.3;
// Steps after the first before the path is measured again, on a sheet that
// has started to swing: 50 frames.
constexpr int clothSettleSteps = 350;

// One untimed round first (the first step on a path pays for cold caches
// and, on some processors, for waking the wide vector units), then rounds of
// one step per path, interleaved (each round from another path) so that a
// busy machine slows them alike, until clothTrialRounds, until one path is
// left, or until another round would pass the budget, but never fewer than
// clothTrialLeastRounds. Of the paths still timed, the one with the smallest
// median step is chosen, the earlier in `paths` on a tie.
ClothPathTrial measureClothPaths(const ClothPath* paths, int count, ClothStepTimer& timer,
                                 double budgetMicros);

// The trial on a scratch copy of the cloth with the steady clock: what
// ClothModel::choosePathByTrial runs.
ClothPathTrial timeClothPaths(const ClothModel& cloth, const ClothPath* paths, int count);

} // namespace VELUMIRA_CLOTH_BUILD
