// Test fixture only: plays the renderer's part of the contract with the host.
// It opens a top-level window titled "Velumira_VC" (after a delay given in
// VELUMIRA_STAND_IN_DELAY_MS), writes its own command line to
// C:\r_quil\stand_in_command.txt, and ends on Escape or a close request.

#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wp == VK_ESCAPE) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // As UTF-8, so that a folder name outside the code page arrives whole.
    char line[4096] = {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
    HANDLE f = CreateFileA("C:\\r_quil\\stand_in_command.txt", GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(f, line, DWORD(n > 0 ? n - 1 : 0), &written, nullptr);
        CloseHandle(f);
    }
    char delay[32] = {};
    if (GetEnvironmentVariableA("VELUMIRA_STAND_IN_DELAY_MS", delay, sizeof delay))
        Sleep(DWORD(std::atoi(delay)));

    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "VelumiraStandIn";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Velumira_VC", WS_POPUP, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, show);
    SetForegroundWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
