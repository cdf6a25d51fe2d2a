// The settings dialog window in steps, for the host entry ShowVelumiraP and
// for tests that drive the dialog without its modal loop.
#pragma once

#include "velumira_p.h"
#include "velumira_p_pictures.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Screen position of the mouse cursor when the dialog opened: the open and
// close animations grow from and shrink to it.
extern int16_t AnimOriginX;
extern int16_t AnimOriginY;

namespace velumira {

// Builds the dialog from its form description, runs its load steps from the
// music settings and shows it. Returns nullptr if the window cannot be made.
HWND CreateVelumiraP(HINSTANCE instance);

// Runs the dialog's modal loop until its window is gone.
void RunVelumiraP(HWND dialog);

// The window of a dialog control by form name and array index (-1 for a
// single control), or nullptr.
HWND VelumiraPControl(HWND dialog, const std::string& name, int index = -1);

// The picture an image control of the dialog shows, nullptr for none.
const Picture* VelumiraPPicture(HWND image);

} // namespace velumira
