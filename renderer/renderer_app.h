// The renderer program: its window record, the one cloth, the window and
// message loop, and the frame.
#pragma once

#include "cloth/cloth.h"

#include <windows.h>

#include <memory>
#include <vector>

struct GlWindow {
    HDC deviceContext;
    HGLRC renderingContext;
    HWND window;
    HINSTANCE instance;
};

extern GlWindow glWindow;
extern Cloth cloth;
extern bool keys[256]; // key-down table by virtual-key code
extern bool active;    // false while minimised: no frames
extern const int stepsPerFrame;

// A monitor other than the primary: its own window, context and cloth,
// carrying that monitor's part of the desktop.
struct MonitorCloth {
    GlWindow gl = {nullptr, nullptr, nullptr, nullptr};
    std::unique_ptr<Cloth> cloth;
};
extern std::vector<MonitorCloth> monitorCloths;
// Title of their windows; the host watches only the primary's.
extern const char monitorWindowTitle[];

// Opens the window with its rendering context current, projection and fixed
// state set; on failure everything acquired is released again.
bool createGlWindow(const char* title, int width, int height, int colourBits, WNDPROC procedure);
void destroyGlWindow();
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Covers every monitor other than the primary with its own window and cloth,
// after the primary's window exists; the primary's context is current again
// afterwards. A monitor whose window cannot be made stays uncovered.
void createMonitorWindows();
void destroyMonitorWindows();
// Steps the cloth and draws it into the back buffer.
bool drawFrame();
// Steps and draws one cloth into the current context, without the pause.
void drawScene(Cloth& sheet);
// Steps and draws every other monitor's cloth and shows it.
void drawMonitorFrames();
// Handles messages and draws frames until a quit message or Escape; returns
// the exit code.
int runMainLoop();
// The whole program: window, lights, timer, picture, loop, tear-down.
int runRenderer();
