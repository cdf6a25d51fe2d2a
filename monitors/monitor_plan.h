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
    // The platform's name for the monitor (\\.\DISPLAY2), which stays its own
    // while the layout changes; empty where the platform gives none.
    std::string device;
};

struct MonitorShare {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool primary = false;
    std::string picturePath; // the snapshot for the primary
    std::string device;
};

// The primary first, then the others from top to bottom and left to right.
// Empty monitors and repeats of one already listed are left out; when none is
// marked primary, the one holding the origin is, else the first.
std::vector<MonitorShare> PlanMonitors(const std::vector<MonitorRect>& monitors);

// Where the renderer's windows go on the monitors of `plan`, its windows
// having been placed on `placed` (one share per window, in the windows'
// order, the primary's first). Every monitor gets exactly one window with
// exactly its rectangle, in the plan's order. The primary's window always
// goes to the primary monitor, which is where the host watches for it. Every
// other window stays with its monitor, known by the platform's name for it,
// else by its rectangle; a monitor that no window had gets a new one, and the
// window of a monitor that is gone is closed. An empty plan (no monitor known
// at all) moves nothing.
constexpr int kNewWindow = -1;
struct PlacedWindow {
    int window = kNewWindow; // index in `placed`
    MonitorShare monitor;
};
struct WindowPlacement {
    std::vector<PlacedWindow> windows;
    std::vector<int> closed; // indices in `placed`, never the primary's
};
WindowPlacement PlaceWindows(const std::vector<MonitorShare>& placed,
                             const std::vector<MonitorShare>& plan);

// True for the file names (without folder) that the plan gives monitors other
// than the primary, whatever their layout: the host removes such files left
// by an earlier run so that no old picture passes for a current one.
bool IsMonitorPictureName(const std::string& fileName);

} // namespace velumira
