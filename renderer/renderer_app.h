// The renderer program: its window record, the one cloth, the window and
// message loop, and the frame.
#pragma once

#include "cloth/cloth.h"

#include <windows.h>

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

// Opens the window with its rendering context current, projection and fixed
// state set; on failure everything acquired is released again.
bool createGlWindow(const char* title, int width, int height, int colourBits, WNDPROC procedure);
void destroyGlWindow();
LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Steps the cloth and draws it into the back buffer.
bool drawFrame();
// Handles messages and draws frames until a quit message or Escape; returns
// the exit code.
int runMainLoop();
// The whole program: window, lights, timer, picture, loop, tear-down.
int runRenderer();
