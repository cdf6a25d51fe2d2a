// Which monitor gets which window and picture, for the layouts people have:
// one screen, screens left of or above the primary, screens of other sizes.
#include "monitors/monitor_plan.h"

#include <gtest/gtest.h>

using namespace velumira;

namespace {

MonitorRect at(int left, int top, int width, int height, bool primary = false) {
    return {left, top, left + width, top + height, primary};
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

} // namespace
