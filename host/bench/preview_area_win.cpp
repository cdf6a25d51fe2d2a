// Bench helper: the display settings' side of a preview. Makes a preview area
// of the given size, starts the saver's preview in it, and once the cloth
// shows, reports its frames over the given time; then closes the area.
//   velumira_preview_area <Velumira.scr> [seconds, 10] [width, 152] [height, 112]
// Prints "showing" when the cloth's first frames are up and the measured time
// begins (for a script sampling the host's CPU from outside), then
// "frames N in M ms" at its end, and "ended in M ms" once the host is gone.
#include "preview_cloth_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

DWORD_PTR Ask(HWND cloth, UINT query, WPARAM what) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(cloth, query, what, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    return answer;
}

// Waits, answering this thread's messages, for `ms` or until `done`.
template <class Done> bool Pump(DWORD ms, Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return std::printf("usage: velumira_preview_area <Velumira.scr> [s] [w] [h]\n"), 2;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    const int width = argc > 3 ? std::atoi(argv[3]) : 152;
    const int height = argc > 4 ? std::atoi(argv[4]) : 112;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "VelumiraPreviewArea";
    RegisterClassA(&wc);
    HWND area =
        CreateWindowExA(0, wc.lpszClassName, "area", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100,
                        100, width, height, nullptr, nullptr, nullptr, nullptr);
    char command[MAX_PATH + 64];
    wsprintfA(command, "\"%s\" /p %u", argv[1], unsigned(UINT_PTR(area)));
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::printf("cannot start %s\n", argv[1]), 1;

    HWND cloth = nullptr;
    const bool shown = Pump(10000, [&] {
        HWND preview = FindWindowExA(area, nullptr, nullptr, "Preview Window");
        cloth = preview ? FindWindowExA(preview, nullptr, nullptr, "Pic_Prev") : nullptr;
        return cloth && IsWindowVisible(cloth);
    });
    if (!shown) {
        std::printf("no moving preview\n");
    } else {
        const UINT query = RegisterWindowMessageA(velumira::kPreviewFrameQuery);
        Pump(2000, [] { return false; }); // past the start
        std::printf("showing\n");
        std::fflush(stdout);
        const DWORD start = GetTickCount();
        const DWORD_PTR first = Ask(cloth, query, velumira::kFramesDrawn);
        Pump(DWORD(seconds) * 1000, [] { return false; });
        const DWORD_PTR last = Ask(cloth, query, velumira::kFramesDrawn);
        std::printf("frames %lu in %lu ms\n", static_cast<unsigned long>(last - first),
                    static_cast<unsigned long>(GetTickCount() - start));
    }
    std::fflush(stdout);
    // Hidden first: under Wine without a window manager, hiding a window
    // waits 2 s for a withdrawal that never comes, which is not the host's.
    ShowWindow(area, SW_HIDE);
    const DWORD closing = GetTickCount();
    DestroyWindow(area);
    const bool ended = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    std::printf(ended ? "ended in %lu ms\n" : "still running after %lu ms\n",
                static_cast<unsigned long>(GetTickCount() - closing));
    if (!ended) TerminateProcess(pi.hProcess, 1);
    return shown && ended ? 0 : 1;
}
