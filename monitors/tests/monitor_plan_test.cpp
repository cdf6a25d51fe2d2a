// Which monitor gets which window and picture, for the layouts people have:
// one screen, screens left of or above the primary, screens of other sizes.
#include "monitors/monitor_plan.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace velumira;

namespace {

MonitorRect at(int left, int top, int width, int height, bool primary = false,
               const std::string& device = {}) {
    return {left, top, left + width, top + height, primary, device};
}

std::string describe(const MonitorShare& s) {
    return std::to_string(s.left) + "," + std::to_string(s.top) + " " + std::to_string(s.width) +
           "x" + std::to_string(s.height) + (s.primary ? " primary " : " ") + s.picturePath;
}

std::vector<std::string> describe(const std::vector<MonitorShare>& plan) {
    std::vector<std::string> out;
    for (const MonitorShare& s : plan)
        out.push_back(describe(s));
    return out;
}

TEST(MonitorPlan, OneScreenIsThePrimaryWithTheSnapshotAlone) {
    EXPECT_EQ(describe(PlanMonitors({at(0, 0, 2880, 1620, true)})),
              std::vector<std::string>{"0,0 2880x1620 primary C:\\r_quil\\Velumira.bmp"});
    EXPECT_TRUE(PlanMonitors({}).empty());
}

TEST(MonitorPlan, ThreeScreensLeftAndAboveThePrimaryEachGetTheirOwnPicture) {
    // Listed in the platform's order, primary in the middle of the list.
    const auto plan = PlanMonitors(
        {at(1920, -1200, 1600, 1200), at(0, 0, 1920, 1080, true), at(-1280, 56, 1280, 1024)});
    EXPECT_EQ(describe(plan),
              (std::vector<std::string>{
                  "0,0 1920x1080 primary C:\\r_quil\\Velumira.bmp",
                  "1920,-1200 1600x1200 C:\\r_quil\\Velumira_1920_-1200_1600x1200.bmp",
                  "-1280,56 1280x1024 C:\\r_quil\\Velumira_-1280_56_1280x1024.bmp",
              }));
}

TEST(MonitorPlan, OddReportsStillGiveOnePrimaryAndNoRepeats) {
    // Nothing marked: the screen at the origin is the primary.
    auto plan = PlanMonitors({at(1024, 0, 800, 600), at(0, 0, 1024, 768)});
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_TRUE(plan[0].primary);
    EXPECT_EQ(plan[0].left, 0);
    EXPECT_FALSE(plan[1].primary);

    // Nothing at the origin either: the first.
    plan = PlanMonitors({at(10, 10, 800, 600), at(810, 10, 800, 600)});
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].left, 10);
    EXPECT_TRUE(plan[0].primary);

    // A mirrored screen reported twice, and an empty one, are no extra windows;
    // the mark of a repeat still counts.
    plan = PlanMonitors({at(0, 0, 1024, 768), at(0, 0, 0, 768, true), at(1024, 0, 800, 600),
                         at(1024, 0, 800, 600, true)});
    EXPECT_EQ(describe(plan), (std::vector<std::string>{
                                  "1024,0 800x600 primary C:\\r_quil\\Velumira.bmp",
                                  "0,0 1024x768 C:\\r_quil\\Velumira_0_0_1024x768.bmp",
                              }));
}

TEST(MonitorPlan, PicturesOfAnyLayoutAreRecognisedAndNothingElse) {
    for (const MonitorShare& s : PlanMonitors(
             {at(0, 0, 1920, 1080, true), at(-3840, -2160, 3840, 2160), at(1920, 0, 1, 1)})) {
        if (!s.primary) {
            EXPECT_TRUE(IsMonitorPictureName(s.picturePath.substr(10))) << s.picturePath;
        }
    }
    EXPECT_TRUE(IsMonitorPictureName("VELUMIRA_1024_0_800X600.BMP"));
    for (const char* other :
         {"Velumira.bmp", "Velumira_.bmp", "Velumira_1_2_3x.bmp", "Velumira_1_2_3x4.bmp.tmp",
          "Velumira_1_2_-3x4.bmp", "Velumira_1_2_3x4_5.bmp", "Velumira_a_2_3x4.bmp", "notes.txt",
          "Velumira_1_2_3x4.bmpx", "Velumira_--1_2_3x4.bmp"})
        EXPECT_FALSE(IsMonitorPictureName(other)) << other;
}

// Where the windows stand after a placement from `placed`: "window N" (an
// index in `placed`) or "new", then the monitor. Checks on the way what holds
// for every placement: each monitor once, with exactly its rectangle; each
// old window kept once or closed; the primary's kept, on the primary.
std::vector<std::string> placeOn(const std::vector<MonitorShare>& placed,
                                 const std::vector<MonitorShare>& plan) {
    const WindowPlacement placement = PlaceWindows(placed, plan);
    std::vector<std::string> out;
    std::vector<int> seen(placed.size(), 0);
    EXPECT_EQ(placement.windows.size(), plan.size());
    for (size_t i = 0; i < placement.windows.size() && i < plan.size(); ++i) {
        const PlacedWindow& p = placement.windows[i];
        EXPECT_EQ(describe(p.monitor), describe(plan[i]));
        if (p.window != kNewWindow) ++seen.at(size_t(p.window));
        const std::string where = describe(p.monitor);
        out.push_back(
            (p.window == kNewWindow ? std::string("new") : "window " + std::to_string(p.window)) +
            " " + where.substr(0, where.find(" C:")));
    }
    for (int w : placement.closed)
        ++seen.at(size_t(w));
    EXPECT_EQ(seen, std::vector<int>(placed.size(), 1)) << "each window kept or closed, once";
    if (!placed.empty() && !placement.windows.empty()) {
        EXPECT_EQ(placement.windows[0].window, 0) << "the primary's window on the primary";
    }
    return out;
}

using Lines = std::vector<std::string>;
const std::string kOne = "\\\\.\\DISPLAY1", kTwo = "\\\\.\\DISPLAY2", kThree = "\\\\.\\DISPLAY3";

TEST(WindowPlacement, EachWindowIsItsMonitorAndFollowsIt) {
    // At start only the primary's window exists, made where the screen was
    // thought to be. The primary is not the leftmost monitor; one lies above
    // and left of it.
    const auto three =
        PlanMonitors({at(1920, 0, 1280, 1024, false, kThree), at(0, 0, 1920, 1080, true, kOne),
                      at(-1600, -900, 1600, 900, false, kTwo)});
    EXPECT_EQ(placeOn(PlanMonitors({at(0, 0, 1024, 768, true)}), three),
              (Lines{"window 0 0,0 1920x1080 primary", "new -1600,-900 1600x900",
                     "new 1920,0 1280x1024"}));

    // The one above and left is unplugged: its window goes, the others stay.
    const auto two =
        PlanMonitors({at(0, 0, 1920, 1080, true, kOne), at(1920, 0, 1280, 1024, false, kThree)});
    EXPECT_EQ(placeOn(three, two),
              (Lines{"window 0 0,0 1920x1080 primary", "window 2 1920,0 1280x1024"}));

    // The primary's resolution changes and pushes the other monitor along:
    // each window follows its own monitor to its new rectangle.
    const auto wider =
        PlanMonitors({at(0, 0, 2560, 1440, true, kOne), at(2560, 0, 1280, 1024, false, kThree)});
    EXPECT_EQ(placeOn(two, wider),
              (Lines{"window 0 0,0 2560x1440 primary", "window 1 2560,0 1280x1024"}));

    // A monitor comes back: it is new to the windows. So is another monitor
    // put where that one was: the name tells monitors apart, not the place.
    const auto back =
        PlanMonitors({at(0, 0, 2560, 1440, true, kOne), at(2560, 0, 1280, 1024, false, kThree),
                      at(-1600, 0, 1600, 900, false, kTwo)});
    EXPECT_EQ(placeOn(wider, back), (Lines{"window 0 0,0 2560x1440 primary", "new -1600,0 1600x900",
                                           "window 1 2560,0 1280x1024"}));
    auto other = back;
    other[1].device = "\\\\.\\DISPLAY9";
    EXPECT_EQ(placeOn(back, other), (Lines{"window 0 0,0 2560x1440 primary", "new -1600,0 1600x900",
                                           "window 2 2560,0 1280x1024"}));

    // Another monitor is made the primary: the watched window goes there; the
    // old primary is new to the windows, its old window gone.
    const auto swapped =
        PlanMonitors({at(-1920, 0, 1920, 1080, false, kOne), at(0, 0, 1280, 1024, true, kThree)});
    EXPECT_EQ(placeOn(two, swapped),
              (Lines{"window 0 0,0 1280x1024 primary", "new -1920,0 1920x1080"}));

    // Without names a monitor is known by its rectangle alone.
    const auto unnamed = PlanMonitors({at(0, 0, 1920, 1080, true), at(1920, 0, 1280, 1024)});
    EXPECT_EQ(placeOn(unnamed, PlanMonitors({at(0, 0, 1920, 1080, true), at(1920, 0, 1280, 1024),
                                             at(0, 1080, 800, 600)})),
              (Lines{"window 0 0,0 1920x1080 primary", "window 1 1920,0 1280x1024",
                     "new 0,1080 800x600"}));
    EXPECT_EQ(placeOn(unnamed, PlanMonitors({at(0, 0, 1024, 768, true), at(1024, 0, 1280, 1024)})),
              (Lines{"window 0 0,0 1024x768 primary", "new 1024,0 1280x1024"}));

    // No monitor known at all: nothing moves and nothing closes.
    const WindowPlacement unknown = PlaceWindows(two, {});
    ASSERT_EQ(unknown.windows.size(), 2u);
    EXPECT_EQ(unknown.windows[1].window, 1);
    EXPECT_EQ(describe(unknown.windows[1].monitor), describe(two[1]));
    EXPECT_TRUE(unknown.closed.empty());
}

} // namespace
