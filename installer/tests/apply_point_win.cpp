// Test helper: waits for the settings dialog of a running Velumira.scr /c to
// show and prints the screen position of the middle of its apply button,
// "x y", for a real mouse click there. Exit code 1 when no dialog shows
// within 30 s.
#include "dpi_scale.h"
#include "dpi_win.h"
#include "velumira_p_form.h"

#include <windows.h>

#include <cstdio>

using namespace velumira;

int main() {
    HWND dialog = nullptr;
    for (int i = 0; i < 300 && !dialog; ++i) {
        // The window exists, hidden, before it is shown: a click then would miss.
        dialog = FindWindowA(nullptr, "<Velumira>");
        if (dialog && !IsWindowVisible(dialog)) dialog = nullptr;
        if (!dialog) Sleep(100);
    }
    if (!dialog) {
        std::printf("no dialog\n");
        return 1;
    }
    const int dpi = WindowDpi(dialog);
    for (const FormControl& c : VelumiraPForm().controls) {
        if (c.name != "Cmd_Set") continue;
        POINT p{TwipsToPixels(c.left + c.width / 2, dpi), TwipsToPixels(c.top + c.height / 2, dpi)};
        ClientToScreen(dialog, &p);
        std::printf("%ld %ld\n", p.x, p.y);
        return 0;
    }
    return 1;
}
