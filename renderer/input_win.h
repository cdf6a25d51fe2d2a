// Escape wherever the system leaves the keyboard, and the foreground taken
// back whenever the system allows it.
#pragma once

#include <windows.h>

// Asks for the keyboard's raw input at `window` even while another program
// has the foreground: Escape is heard there as well.
bool listenForEscape(HWND window);

// What a renderer window's message says of the user, before the window
// handles it: Escape from raw input goes into the key table, and the user's
// mouse over a window takes the foreground back for the primary's.
void heedInput(UINT message, WPARAM wParam, LPARAM lParam);
