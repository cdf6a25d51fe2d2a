// The renderer program: its window record, the one cloth, the window and
// message loop, and the frame.
#pragma once

#include "cloth/cloth.h"
#include "monitors/monitor_plan.h"
#include "scene/frame_clock_win.h"
#include "scene/frame_loop.h"
#include "scene/gl_window_win.h"

#include <windows.h>

#include <memory>
#include <vector>

extern GlWindow glWindow;
extern Cloth cloth;
extern bool keys[256]; // key-down table by virtual-key code
extern bool active;    // false while minimised: no frames
extern const int stepsPerFrame;
// The primary's window timer: it only wakes the loop.
constexpr UINT_PTR kWakeTimer = 1;
constexpr UINT kWakePeriodMs = 8;

// One monitor's window: its window record and cloth, and the monitor it
// covers. The primary's comes first and refers to the program's window record
// and cloth; every other owns its own, carrying its monitor's part of the
// desktop.
struct MonitorWindow {
    GlWindow* gl = nullptr;
    Cloth* cloth = nullptr;
    velumira::MonitorShare monitor;
    bool shown = false;
    std::unique_ptr<GlWindow> ownGl;
    std::unique_ptr<Cloth> ownCloth;
};
// Every renderer window, the primary's first, from createGlWindow on.
extern std::vector<MonitorWindow> monitorWindows;
// Title of the other monitors' windows; the host watches only the primary's.
extern const char monitorWindowTitle[];

// Opens the primary's window at the origin, topmost, with its rendering
// context current, projection and fixed state set; on failure everything
// acquired is released again.
bool createGlWindow(const char* title, int width, int height, int colourBits, WNDPROC procedure);
void destroyGlWindow();
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Gives every monitor as it is now a window of exactly its rectangle: the
// primary's window goes to the primary monitor, every other window stays with
// its monitor, a monitor without one gets a window and cloth of its own (with
// its picture where the host took one), and the window of a monitor that is
// gone is closed. Called once the primary's window exists, and again after
// every display change; the primary's context is current afterwards. A
// monitor whose window cannot be made stays uncovered.
void fitWindowsToMonitors();
// Closes every window but the primary's.
void destroyMonitorWindows();
// Steps that window's cloth `steps` times and draws it into its back buffer.
bool drawFrame(MonitorWindow& target, int steps);

// The renderer's windows and the clock for its frames: every monitor's
// window.
class WinFramePlatform : public FramePlatform {
  public:
    int64_t ticksPerSecond() const { return clock_.ticksPerSecond(); }
    // The primary display's rate as the system reports it; 0 or 1 when unknown.
    int refreshHz() const { return clock_.refreshHz(); }
    // Asks the system again, after a display change.
    int readRefreshHz() { return clock_.readRefreshHz(); }

    int windowCount() override;
    void draw(int window, int steps) override;
    void clear(int window) override;
    void swap(int window) override;
    void show(int window) override;
    bool shown(int window) override;
    void setSwapInterval(int window, int interval) override;
    int64_t now() override;
    void waitUntil(int64_t tick) override;

  private:
    GlWindow& gl(int window);

    FrameClock clock_;
};

// Handles messages and draws frames until a quit message or Escape; returns
// the exit code. After a display change the windows are fitted to their
// monitors again and the frames follow the display's new rate.
int runMainLoop(FrameLoop& frames, WinFramePlatform& platform);
// The whole program: window, lights, timer, picture, first frames, loop,
// tear-down.
int runRenderer();
