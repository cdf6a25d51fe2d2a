// Shared by the two controls' window code.
#pragma once

#include "controls.h"

namespace velumira {

// The instance the classes were registered for; registers them for this
// program if nobody did yet.
HINSTANCE ControlsInstance();
LRESULT CALLBACK ButtonWindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK FrameWindowProc(HWND, UINT, WPARAM, LPARAM);

// True when `wnd` is a window of the given class.
bool IsWindowOfClass(HWND wnd, const char* className);

// The window a control treats as its form: the first ancestor that is a
// top-level window or an MDI child.
HWND FormOf(HWND control);

} // namespace velumira
