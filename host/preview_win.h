#pragma once

#include <windows.h>

namespace velumira {

constexpr int kPreviewPictureId = 101;

// The built-in preview picture, decoded from the program's JPEG resource by
// the platform's picture service. Null when it cannot be decoded.
HBITMAP LoadPreviewPicture();

// Loads the preview window Velumira_R, makes it a child of `parent` filling
// it, and shows it. When it goes (its parent is destroyed, or it is closed)
// it closes its owner, the host's hidden application window, which ends the
// message loop. Returns the preview window, or null when it could not be made.
HWND ShowPreviewWindow(HWND parent);

} // namespace velumira
