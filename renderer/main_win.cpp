// Velumira.dll: the cloth renderer. Opens one OpenGL window over the screen
// and draws the desktop snapshot as a hanging cloth until Escape or a close
// request. Started by the saver host without arguments.
#include "renderer/renderer_app.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return runRenderer();
}
