// Test helper: looks at and pokes the renderer's window from outside, the way
// other programs on the desktop can.
//   window_probe info          class, styles and geometry, and whether the window
//                              is its primary monitor; exit 1 when absent
//   window_probe post MSG WPARAM LPARAM [TITLE]  PostMessage to the window, or
//                              to the renderer's window of that title
//   window_probe send MSG WPARAM LPARAM   SendMessage to the window
//   window_probe errorbox      text and buttons of the "Error" box, then OK
//   window_probe tap VK        key down and up posted back to back
//   window_probe noerrorbox    exit 1 while an "Error" box is open
//   window_probe windows       every renderer window: title, rectangle, topmost
//   window_probe manifest FILE the application manifest embedded in FILE
//   window_probe display [W H] changes the display's resolution, as a user can;
//                              without a size, back to the one the system keeps
//   window_probe unlock        posts the session's unlock to the window and
//                              times its first new frame on the screen
//   window_probe thief SECONDS another program: a window that takes the
//                              foreground and reports, line by line, whether
//                              it has it and every key it is given
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND renderer() {
    return FindWindowA("OpenGL", "Velumira_VC");
}

int info() {
    HWND w = renderer();
    if (!w) {
        std::printf("absent\n");
        return 1;
    }
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    RECT r;
    GetWindowRect(w, &r);
    RECT c;
    GetClientRect(w, &c);
    const DWORD style = DWORD(GetWindowLongPtrA(w, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongPtrA(w, GWL_EXSTYLE));
    MONITORINFO primary = {};
    primary.cbSize = sizeof primary;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
    const RECT& m = primary.rcMonitor;
    std::printf("class=%s classstyle=0x%lx style=0x%08lx exstyle=0x%08lx\n", cls,
                (unsigned long)GetClassLongPtrA(w, GCL_STYLE), (unsigned long)style,
                (unsigned long)exStyle);
    // A window of exactly its monitor's rectangle, all of it client area.
    const bool fits =
        EqualRect(&r, &m) && c.right == m.right - m.left && c.bottom == m.bottom - m.top;
    std::printf("rect=%ld,%ld,%ld,%ld client=%ldx%ld monitor=%ld,%ld,%ld,%ld fits=%d\n", r.left,
                r.top, r.right, r.bottom, c.right, c.bottom, m.left, m.top, m.right, m.bottom,
                fits ? 1 : 0);
    std::printf("parent=%p owner=%p menu=%p iconic=%d visible=%d\n", (void*)GetParent(w),
                (void*)GetWindow(w, GW_OWNER), (void*)GetMenu(w), IsIconic(w) ? 1 : 0,
                IsWindowVisible(w) ? 1 : 0);
    return 0;
}

// The message box's text is its static control (id 0xFFFF).
int errorBox() {
    HWND box = nullptr;
    for (int i = 0; i < 100 && !box; ++i) {
        box = FindWindowA("#32770", "Error");
        if (!box) Sleep(100);
    }
    if (!box) {
        std::printf("no error box\n");
        return 1;
    }
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::string escaped;
    for (const char* p = text; *p; ++p)
        escaped += *p == '\n' ? std::string("\\n") : std::string(1, *p);
    int buttons = 0;
    std::string labels;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (_stricmp(cls, "Button") == 0 && IsWindowVisible(child)) {
            char label[32] = {};
            GetWindowTextA(child, label, sizeof label);
            labels += std::string(buttons ? "," : "") + label;
            ++buttons;
        }
    }
    std::printf("text=%s\nbuttons=%d %s\nowner_is_renderer=%d\n", escaped.c_str(), buttons,
                labels.c_str(), GetWindow(box, GW_OWNER) == renderer() ? 1 : 0);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

BOOL CALLBACK listWindow(HWND w, LPARAM) {
    char cls[64] = {}, title[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "OpenGL") != 0) return TRUE;
    GetWindowTextA(w, title, sizeof title);
    RECT r;
    GetWindowRect(w, &r);
    std::printf("%s %ld,%ld,%ld,%ld visible=%d topmost=%d\n", title, r.left, r.top, r.right,
                r.bottom, IsWindowVisible(w) ? 1 : 0,
                (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    return TRUE;
}

int manifest(const char* file) {
    HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 1;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) std::fwrite(bytes, 1, SizeofResource(module, found), stdout);
    FreeLibrary(module);
    return bytes ? 0 : 1;
}

int display(int width, int height) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result =
        ChangeDisplaySettingsExA(nullptr, width ? &mode : nullptr, nullptr, 0, nullptr);
    std::printf("display %dx%d: %ld\n", width, height, result);
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

LRESULT CALLBACK thiefProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
        std::printf("key message=0x%x code=0x%lx\n", message, (unsigned long)wParam);
        std::fflush(stdout);
        return 0;
    case WM_ACTIVATEAPP:
        std::printf("foreground=%d\n", wParam ? 1 : 0);
        std::fflush(stdout);
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

int thief(int seconds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = thiefProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "VelumiraThief";
    RegisterClassA(&wc);
    HWND w = CreateWindowA(wc.lpszClassName, "thief", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 240,
                           160, nullptr, nullptr, wc.hInstance, nullptr);
    if (!w) return 1;
    SetForegroundWindow(w);
    SetFocus(w);
    std::printf("took=%d\n", GetForegroundWindow() == w ? 1 : 0);
    std::fflush(stdout);
    SetTimer(w, 1, DWORD(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(w);
    return 0;
}

// The middle of the screen, where the cloth moves in every frame.
std::string screenMiddle() {
    const int size = 256;
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP image = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(copy, image);
    BitBlt(copy, 0, 0, size, size, screen, (GetSystemMetrics(SM_CXSCREEN) - size) / 2,
           (GetSystemMetrics(SM_CYSCREEN) - size) / 2, SRCCOPY);
    GdiFlush();
    std::string pixels(static_cast<const char*>(bits), size_t(size) * size * 4);
    SelectObject(copy, old);
    DeleteObject(image);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return pixels;
}

int unlock() {
    HWND w = renderer();
    if (!w) return 1;
    const std::string resting = screenMiddle();
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    PostMessageA(w, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    do {
        QueryPerformanceCounter(&now);
        if (screenMiddle() != resting) {
            std::printf("first new frame %.1f ms after the unlock\n",
                        double(now.QuadPart - start.QuadPart) * 1000.0 /
                            double(frequency.QuadPart));
            return 0;
        }
    } while (now.QuadPart - start.QuadPart < 5 * frequency.QuadPart);
    std::printf("no new frame within 5 s of the unlock\n");
    return 1;
}

unsigned long number(const char* s) {
    return std::strtoul(s, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "info") == 0) return info();
    if (argc >= 2 && std::strcmp(argv[1], "errorbox") == 0) return errorBox();
    if (argc == 3 && std::strcmp(argv[1], "tap") == 0) {
        // Down and up queued together: handled back to back, no idle between.
        HWND w = renderer();
        const WPARAM key = WPARAM(number(argv[2]));
        return w && PostMessageA(w, WM_KEYDOWN, key, 0) && PostMessageA(w, WM_KEYUP, key, 0) ? 0
                                                                                             : 1;
    }
    if (argc >= 2 && std::strcmp(argv[1], "windows") == 0)
        return EnumWindows(listWindow, 0) ? 0 : 1;
    if (argc == 3 && std::strcmp(argv[1], "manifest") == 0) return manifest(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "display") == 0) return display(0, 0);
    if (argc == 4 && std::strcmp(argv[1], "display") == 0)
        return display(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 2 && std::strcmp(argv[1], "unlock") == 0) return unlock();
    if (argc == 3 && std::strcmp(argv[1], "thief") == 0) return thief(std::atoi(argv[2]));
    if (argc >= 2 && std::strcmp(argv[1], "noerrorbox") == 0)
        return FindWindowA("#32770", "Error") ? 1 : 0;
    if ((argc == 5 || argc == 6) &&
        (std::strcmp(argv[1], "post") == 0 || std::strcmp(argv[1], "send") == 0)) {
        HWND w = argc == 6 ? FindWindowA("OpenGL", argv[5]) : renderer();
        if (!w) return 1;
        const UINT message = UINT(number(argv[2]));
        const WPARAM wParam = WPARAM(number(argv[3]));
        const LPARAM lParam = LPARAM(number(argv[4]));
        if (argv[1][0] == 'p') return PostMessageA(w, message, wParam, lParam) ? 0 : 1;
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(w, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) ? 0
                                                                                                : 1;
    }
    std::fprintf(stderr,
                 "usage: window_probe info|errorbox|post|send|windows|manifest|display ...\n");
    return 2;
}
