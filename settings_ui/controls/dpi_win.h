// The DPI a window is drawn at, and what the controls and the dialog need to
// lay themselves out at it. The per-monitor calls exist only on newer systems
// (Windows 8.1, Windows 10 1607) and are looked up at run time; older ones
// give the system DPI.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumira {

#ifndef WM_DPICHANGED
constexpr UINT WM_DPICHANGED = 0x02E0;
#endif
#ifndef WM_GETDPISCALEDSIZE
constexpr UINT WM_GETDPISCALEDSIZE = 0x02E4;
#endif

// The DPI of the monitor `wnd` is on as the program sees it (96 for a
// program the system scales); the system DPI where the system cannot say.
int WindowDpi(HWND wnd);

// AdjustWindowRectEx at `dpi`: the window rectangle around client rectangle
// `r`, with caption and borders as large as the system draws them at `dpi`.
void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi);

// The system's message font (the one message boxes use) as drawn at `dpi`.
// Before Windows 10 1607 the system DPI's font, scaled.
LOGFONTW MessageFontForDpi(int dpi);

// The platform's dotted focus rectangle on `r`, LineWidth(dpi) pixels thick.
// Like DrawFocusRect it inverts, so drawing it twice removes it.
void DrawFocusRectForDpi(HDC dc, const RECT& r, int dpi);

} // namespace velumira
