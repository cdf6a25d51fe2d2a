#include "monitors/monitor_plan_win.h"

#include <windows.h>

namespace velumira {

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<MonitorRect>*>(list)->push_back(
            {r.left, r.top, r.right, r.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

} // namespace

std::vector<MonitorShare> PlanTheseMonitors() {
    std::vector<MonitorRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, LPARAM(&monitors));
    return PlanMonitors(monitors);
}

} // namespace velumira
