// The monitor plan of this machine's monitors as they are now, in the calling
// thread's coordinates (physical pixels in the programs that need them). Never
// empty: should the monitors not be told, the primary screen stands for them.
#pragma once

#include "monitors/monitor_plan.h"

#include <vector>

namespace velumira {

std::vector<MonitorShare> PlanTheseMonitors();

} // namespace velumira
