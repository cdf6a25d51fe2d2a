#include "monitors/monitor_plan_win.h"

#include <windows.h>

namespace velumira {

namespace {

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFOEXA info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        info.szDevice[sizeof info.szDevice - 1] = '\0';
        reinterpret_cast<std::vector<MonitorRect>*>(list)->push_back(
            {r.left, r.top, r.right, r.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
             info.szDevice});
    }
    return TRUE;
}

} // namespace

std::vector<MonitorShare> PlanTheseMonitors() {
    std::vector<MonitorRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, LPARAM(&monitors));
    // Whatever the enumeration did, the screen is there to be covered.
    if (monitors.empty())
        monitors.push_back(
            {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), true, {}});
    return PlanMonitors(monitors);
}

} // namespace velumira
