// The note that tells the way out, on the renderer's primary window: what the
// renderer's windows hear brings it up, and the primary's frames draw it.
#pragma once

#include <windows.h>

// Hears every message of the renderer's windows: a pointer move, a click or a
// key other than Escape shows the note.
void escapeNoteHears(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// While the note shows, draws it over the frame in the current context's back
// buffer, every state it changes given back; otherwise draws nothing.
void drawEscapeNote();
