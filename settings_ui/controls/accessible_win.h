// What the settings dialog's own controls tell screen readers through Active
// Accessibility: each answers WM_GETOBJECT for its client area with an
// IAccessible of its own (role, name, state, default action), and tells
// listening readers when its focus or state changes.
//
// Usage, in a control's window procedure:
//   case WM_GETOBJECT:
//       return AnswerGetObject(wnd, wp, lp, traits);   // traits: see below
//   case kAccessibleDoDefault:                          // a reader's "do it"
//       ...what a click does...
//   case WM_SETFOCUS:
//       NotifyAccessible(EVENT_OBJECT_FOCUS, wnd);
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>

namespace velumira {

// Posted to a control whose default action a screen reader asked for. The
// control then does what a click does; posting lets the reader's call return
// first, as it must, even when the click opens a modal window.
constexpr UINT kAccessibleDoDefault = WM_APP + 0x3A1;

// One control as a screen reader sees it. The functions run on the control's
// thread, each time a reader asks, and must not keep pointers to the control:
// a reader may hold the object after the window is gone.
struct AccessibleTraits {
    long role = 0;                      // ROLE_SYSTEM_...
    std::function<std::wstring()> name; // empty: the window text, access-key marks removed
    std::function<long()> state;        // added to focusable, focused and unavailable
    bool focusable = false;             // also when it is no tab stop (an option of a group)
    std::wstring defaultAction;         // empty: none (then no kAccessibleDoDefault either)
};

// WM_GETOBJECT: for OBJID_CLIENT the control's own IAccessible, otherwise
// what the platform answers.
LRESULT AnswerGetObject(HWND wnd, WPARAM wp, LPARAM lp, const AccessibleTraits& traits);

// Tells listening screen readers about the client area of `wnd`
// (EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, ...).
void NotifyAccessible(DWORD event, HWND wnd);

// A caption as it is read: "&&" one ampersand, a single "&" (the access-key
// mark) nothing.
std::wstring WithoutAccessKeyMarks(const std::wstring& caption);

// The window's text, wide.
std::wstring WindowTextOf(HWND wnd);

} // namespace velumira
