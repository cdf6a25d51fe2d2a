#pragma once

#include <windows.h>

namespace velumira {

constexpr int kPreviewPictureId = 101;

// The built-in preview picture, decoded from the program's JPEG resource by
// the platform's picture service. Null when it cannot be decoded.
HBITMAP LoadPreviewPicture();

// Loads the preview window Velumira_R, makes it a child of `parent` filling
// it, and shows it with the cloth swinging in it, or with the built-in picture
// where there is no OpenGL. When it goes (its parent is destroyed, or it is
// closed) it closes its owner, the host's hidden application window, which
// ends the message loop. Returns the preview window, or null when it could not
// be made.
HWND ShowPreviewWindow(HWND parent);

// The host's message loop in the preview mode: between messages the cloth
// draws its frames, each when it is due, and waits for the next without
// spinning. Returns the exit code once the preview has gone.
int RunPreviewLoop();

} // namespace velumira
