#include "controls_internal_win.h"

#include <cstring>
#include <string>

namespace velumira {

namespace {
HINSTANCE g_instance = nullptr;
} // namespace

bool RegisterControlClasses(HINSTANCE instance) {
    if (!instance) instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExA(instance, kXPButtonClassName, &wc) &&
        GetClassInfoExA(instance, kFrameClassName, &wc)) {
        g_instance = instance;
        return true;
    }
    // Double-clicks are part of the button's events. A Unicode class: the
    // caption is kept and handed out as UTF-16 whatever the ANSI code page.
    const std::wstring buttonClass(kXPButtonClassName,
                                   kXPButtonClassName + std::strlen(kXPButtonClassName));
    WNDCLASSEXW bc = {};
    bc.cbSize = sizeof(bc);
    bc.style = CS_DBLCLKS;
    bc.lpfnWndProc = ButtonWindowProc;
    bc.hInstance = instance;
    bc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    bc.lpszClassName = buttonClass.c_str();
    bool ok = RegisterClassExW(&bc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;

    wc = {};
    wc.cbSize = sizeof(wc);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpfnWndProc = FrameWindowProc;
    wc.lpszClassName = kFrameClassName;
    ok = (RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) && ok;
    if (ok) g_instance = instance;
    return ok;
}

HINSTANCE ControlsInstance() {
    if (!g_instance) RegisterControlClasses(GetModuleHandleA(nullptr));
    return g_instance;
}

bool IsWindowOfClass(HWND wnd, const char* className) {
    char name[64] = {};
    if (!wnd || !GetClassNameA(wnd, name, sizeof name)) return false;
    return std::strcmp(name, className) == 0;
}

HWND FormOf(HWND control) {
    HWND w = control ? GetParent(control) : nullptr;
    while (w) {
        LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
        LONG_PTR exStyle = GetWindowLongPtrA(w, GWL_EXSTYLE);
        if (!(style & WS_CHILD) || (exStyle & WS_EX_MDICHILD)) return w;
        HWND up = GetParent(w);
        if (!up) return w;
        w = up;
    }
    return nullptr;
}

} // namespace velumira
