#include "monitors/monitor_plan.h"

#include <algorithm>
#include <cstdio>

namespace velumira {

namespace {

constexpr char kPicturePrefix[] = "Velumira_";
constexpr char kPictureSuffix[] = ".bmp";

// Position and size in the name: a file made for another layout never
// matches a monitor of this one.
std::string PictureName(const MonitorShare& m) {
    char name[96];
    std::snprintf(name, sizeof name, "%s%d_%d_%dx%d%s", kPicturePrefix, m.left, m.top, m.width,
                  m.height, kPictureSuffix);
    return name;
}

bool SameRect(const MonitorRect& a, const MonitorRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A monitor keeps its name when the layout around it changes; only where a
// name is missing does the place have to tell.
bool SameMonitor(const MonitorShare& a, const MonitorShare& b) {
    if (!a.device.empty() && !b.device.empty()) return a.device == b.device;
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// Reads an optionally signed decimal number that ends at `end`; advances `p`.
bool ReadNumber(const char*& p, char end, bool signedAllowed) {
    if (signedAllowed && *p == '-') ++p;
    const char* digits = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    if (p == digits || p - digits > 10 || *p != end) return false;
    ++p;
    return true;
}

} // namespace

std::vector<MonitorShare> PlanMonitors(const std::vector<MonitorRect>& monitors) {
    std::vector<MonitorRect> kept;
    for (const MonitorRect& m : monitors) {
        if (m.right <= m.left || m.bottom <= m.top) continue;
        auto same = std::find_if(kept.begin(), kept.end(),
                                 [&](const MonitorRect& k) { return SameRect(k, m); });
        if (same == kept.end())
            kept.push_back(m);
        else
            same->primary = same->primary || m.primary;
    }
    if (kept.empty()) return {};

    auto primary =
        std::find_if(kept.begin(), kept.end(), [](const MonitorRect& m) { return m.primary; });
    if (primary == kept.end())
        primary = std::find_if(kept.begin(), kept.end(), [](const MonitorRect& m) {
            return m.left <= 0 && 0 < m.right && m.top <= 0 && 0 < m.bottom;
        });
    if (primary == kept.end()) primary = kept.begin();
    std::rotate(kept.begin(), primary, primary + 1);
    std::stable_sort(kept.begin() + 1, kept.end(), [](const MonitorRect& a, const MonitorRect& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });

    std::vector<MonitorShare> plan;
    for (size_t i = 0; i < kept.size(); ++i) {
        MonitorShare s;
        s.left = kept[i].left;
        s.top = kept[i].top;
        s.width = kept[i].right - kept[i].left;
        s.height = kept[i].bottom - kept[i].top;
        s.primary = i == 0;
        s.picturePath = s.primary ? std::string(kSnapshotPath)
                                  : std::string(kWorkFolder) + "\\" + PictureName(s);
        s.device = kept[i].device;
        plan.push_back(s);
    }
    return plan;
}

WindowPlacement PlaceWindows(const std::vector<MonitorShare>& placed,
                             const std::vector<MonitorShare>& plan) {
    WindowPlacement placement;
    if (plan.empty()) {
        for (size_t w = 0; w < placed.size(); ++w)
            placement.windows.push_back({int(w), placed[w]});
        return placement;
    }
    std::vector<bool> kept(placed.size(), false);
    for (size_t m = 0; m < plan.size(); ++m) {
        int window = kNewWindow;
        if (m == 0 && !placed.empty()) window = 0;
        for (size_t w = 1; m > 0 && w < placed.size() && window == kNewWindow; ++w)
            if (!kept[w] && SameMonitor(placed[w], plan[m])) window = int(w);
        if (window != kNewWindow) kept[size_t(window)] = true;
        placement.windows.push_back({window, plan[m]});
    }
    for (size_t w = 1; w < placed.size(); ++w)
        if (!kept[w]) placement.closed.push_back(int(w));
    return placement;
}

bool IsMonitorPictureName(const std::string& fileName) {
    const std::string prefix = kPicturePrefix, suffix = kPictureSuffix;
    if (fileName.size() <= prefix.size() + suffix.size()) return false;
    // The platform's file names are case-insensitive.
    auto lower = [](std::string s) {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        return s;
    };
    const std::string name = lower(fileName);
    if (name.compare(0, prefix.size(), lower(prefix)) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string middle =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()) + '\n';
    const char* p = middle.c_str();
    return ReadNumber(p, '_', true) && ReadNumber(p, '_', true) && ReadNumber(p, 'x', false) &&
           ReadNumber(p, '\n', false) && *p == '\0';
}

} // namespace velumira
