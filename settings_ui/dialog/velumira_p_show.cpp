// Shows the settings dialog in a given state for a few seconds, so a script
// can photograph the display:
//   velumira_p_show <kind> <track> <file> <seconds> <rect-file> [dpi]
// The dialog's client rectangle on the screen is written to <rect-file> as
// "left top width height" once the dialog is drawn. With a DPI the dialog is
// told it was moved to a monitor of that DPI, as the system tells it.
#include "dpi_win.h"
#include "settings.h"
#include "velumira_p_win.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

static void CALLBACK CloseAfterTimeout(HWND wnd, UINT, UINT_PTR, DWORD) {
    KillTimer(wnd, 1);
    PostMessageA(wnd, WM_CLOSE, 0, 0);
}

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s kind track file seconds rect-file\n", argv[0]);
        return 2;
    }
    BgmKind = static_cast<int16_t>(std::atoi(argv[1]));
    BgmTrack = static_cast<int16_t>(std::atoi(argv[2]));
    // The path as typed, whatever the code page.
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        if (count > 3) BgmFile = FromWide(wide[3]);
        LocalFree(wide);
    }
    BgmFolder = HostFolder();
    const UINT seconds = static_cast<UINT>(std::atoi(argv[4]));

    OleInitialize(nullptr); // as the host does: screen readers reach the dialog through COM
    HWND dialog = velumira::CreateVelumiraP(GetModuleHandleA(nullptr));
    if (!dialog) return 1;
    if (argc > 6) {
        const int dpi = std::atoi(argv[6]);
        SIZE size{};
        SendMessageA(dialog, velumira::WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi),
                     reinterpret_cast<LPARAM>(&size));
        RECT at;
        GetWindowRect(dialog, &at);
        at.right = at.left + size.cx;
        at.bottom = at.top + size.cy;
        SendMessageA(dialog, velumira::WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&at));
    }
    // Move the pointer away so no button shows its hover look.
    SetCursorPos(0, 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Without a window manager the display shows no caption or border, so
    // the client area is what can be photographed.
    RECT r;
    GetClientRect(dialog, &r);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&r), 2);
    if (FILE* f = std::fopen(argv[5], "w")) {
        std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(f);
    }
    SetTimer(dialog, 1, seconds * 1000, CloseAfterTimeout);
    velumira::RunVelumiraP(dialog);
    return 0;
}
