#include "renderer/input_win.h"
#include "renderer/renderer_app.h"

namespace {

constexpr USHORT kGenericDesktop = 0x01; // HID usage page
constexpr USHORT kKeyboard = 0x06;       // its usage

// A raw keystroke of Escape, down or up, whichever program has the keyboard.
// Where the renderer has it, the same press also comes as WM_KEYDOWN and
// WM_KEYUP: both only set the key's state, so the press counts once, and once
// both are handled the key is up again.
void heedRawKey(LPARAM lParam) {
    RAWINPUT input;
    UINT size = sizeof input;
    // Anyone can post WM_INPUT: a handle the system does not know reads
    // nothing.
    if (GetRawInputData(HRAWINPUT(lParam), RID_INPUT, &input, &size, sizeof input.header) ==
        UINT(-1))
        return;
    if (input.header.dwType != RIM_TYPEKEYBOARD || input.data.keyboard.VKey != VK_ESCAPE) return;
    keys[VK_ESCAPE] = !(input.data.keyboard.Flags & RI_KEY_BREAK);
}

bool foregroundIsOurs() {
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    return process == GetCurrentProcessId();
}

} // namespace

bool listenForEscape(HWND window) {
    // Raw input rather than a low-level keyboard hook: it delays no one's
    // keys, the system does not drop it when a frame takes long, and it is
    // not a global hook that security software frowns on.
    RAWINPUTDEVICE keyboard = {};
    keyboard.usUsagePage = kGenericDesktop;
    keyboard.usUsage = kKeyboard;
    keyboard.dwFlags = RIDEV_INPUTSINK;
    keyboard.hwndTarget = window;
    return RegisterRawInputDevices(&keyboard, 1, sizeof keyboard) != FALSE;
}

void heedInput(UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INPUT) {
        heedRawKey(lParam);
    } else if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && glWindow.window &&
               !foregroundIsOurs()) {
        // The system refused the foreground at the show (the user's last
        // input was too recent, or another program holds it). A process may
        // take it once it has the last input: now the keyboard can follow
        // the user to the cloth. Where the system still refuses, Escape is
        // heard all the same.
        SetForegroundWindow(glWindow.window);
        SetFocus(glWindow.window);
    }
}
