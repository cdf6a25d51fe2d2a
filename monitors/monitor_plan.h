// Which part of the saver each monitor gets: the primary keeps the one
// snapshot file and the renderer's main window; every other monitor gets its
// own window and its own picture file beside the snapshot. The host and the
// renderer both derive the same plan from the monitors they see, so the file
// names need not be passed between them. Platform-free.
#pragma once

#include <string>
#include <vector>

namespace velumira {

// The working folder and the primary's snapshot, at fixed paths that both
// programs know.
constexpr char kWorkFolder[] = "C:\\r_quil";
constexpr char kSnapshotPath[] = "C:\\r_quil\\Velumira.bmp";

// Title of the renderer's main window: the host watches for it to know that
// the renderer still runs.
constexpr char kRendererTitle[] = "Velumira_VC";

// One monitor as the platform reports it, in physical pixels on the virtual
// screen (the primary's top-left corner is 0, 0).
struct MonitorRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool primary = false;
};

struct MonitorShare {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool primary = false;
    std::string picturePath; // the snapshot for the primary
};

// The primary first, then the others from top to bottom and left to right.
// Empty monitors and repeats of one already listed are left out; when none is
// marked primary, the one holding the origin is, else the first.
std::vector<MonitorShare> PlanMonitors(const std::vector<MonitorRect>& monitors);

// True for the file names (without folder) that the plan gives monitors other
// than the primary, whatever their layout: the host removes such files left
// by an earlier run so that no old picture passes for a current one.
bool IsMonitorPictureName(const std::string& fileName);

} // namespace velumira
