// The dialog's own simple controls as child windows: labels (transparent or
// opaque, with an optional hand cursor) and image boxes showing a built-in
// picture. Both report mouse presses to their parent as WM_COMMAND, which
// GFXFrameX containers pass on to the dialog. A label that is given the
// keyboard focus shows a focus rectangle round its text and reports its keys
// the same way; which labels take the focus is the parent's choice
// (WS_TABSTOP).
#pragma once

#include "velumira_p_form.h"
#include "velumira_p_pictures.h"

#include <windows.h>

namespace velumira {

// HIWORD of the WM_COMMAND wParam a label or image sends (LOWORD is its ID,
// lParam its window).
constexpr WORD kWidgetMouseDown = 0x7F01; // any mouse button went down
constexpr WORD kWidgetClick = 0x7F02;     // left button pressed and released on it
constexpr WORD kWidgetSpace = 0x7F03;     // Space went down on the focused label
constexpr WORD kWidgetEnter = 0x7F04;     // Enter went down on the focused label
constexpr WORD kWidgetBack = 0x7F05;      // Left or Up went down on the focused label
constexpr WORD kWidgetOn = 0x7F06;        // Right or Down went down on the focused label

bool RegisterFormWidgetClasses(HINSTANCE instance);

// Creates the label or image of `control` at `pixels` in `parent`, drawn for
// `dpi` (the focus rectangle's width, the picture's size).
HWND CreateFormLabel(HWND parent, int id, const RECT& pixels, const FormControl& control,
                     HFONT font, int dpi);
HWND CreateFormImage(HWND parent, int id, const RECT& pixels, const FormControl& control, int dpi);

// What screen readers are told a label is (ROLE_SYSTEM_STATICTEXT unless
// set): ROLE_SYSTEM_RADIOBUTTON for an option, ROLE_SYSTEM_LINK for a link.
void SetFormLabelRole(HWND label, long role);
// Whether an option label reads as chosen; a change is told to listening
// screen readers.
void SetFormLabelChecked(HWND label, bool checked);

// Draws a label or image for another DPI from now on.
void SetFormWidgetDpi(HWND widget, int dpi);

// The picture an image shows (nullptr for none) and changing it.
const Picture* ImagePicture(HWND image);
void SetImagePicture(HWND image, const Picture* picture);

// Resolves a stored colour, including system colours (kSystemColourFlag).
COLORREF ResolveColour(Colour stored);

} // namespace velumira
