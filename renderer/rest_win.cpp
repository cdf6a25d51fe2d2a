#include "renderer/rest_win.h"

#include <wtsapi32.h>

#include <cstring>

Visibility visibility;

namespace {

enum Reason : unsigned { kDisplayOff = 1, kLocked = 2, kDisconnected = 4 };

// Declared for Windows Vista on; loaded where the system has them.
constexpr WPARAM kPowerSettingChange = 0x8013; // PBT_POWERSETTINGCHANGE
// GUID_CONSOLE_DISPLAY_STATE: its data is a DWORD, 0 off, 1 on, 2 dimmed.
const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
struct PowerSetting { // POWERBROADCAST_SETTING
    GUID setting;
    DWORD dataLength;
    UCHAR data[1];
};
using RegisterPowerSettingNotificationFn = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerSettingNotificationFn = BOOL(WINAPI*)(HANDLE);
constexpr DWORD kNotifyWindowHandle = 0; // DEVICE_NOTIFY_WINDOW_HANDLE

template <class F> F user32Function(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

} // namespace

void Visibility::watch(HWND window, UINT_PTR timer, UINT periodMs) {
    window_ = window;
    timer_ = timer;
    periodMs_ = periodMs;
    // Where either is refused the notices may still come (a test posts
    // them), and the cloth simply never rests for that reason.
    sessionNotices_ = WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
    // The system answers at once with the display's present state.
    if (const auto registerNotice =
            user32Function<RegisterPowerSettingNotificationFn>("RegisterPowerSettingNotification"))
        powerNotice_ = registerNotice(window, &kConsoleDisplayState, kNotifyWindowHandle);
}

void Visibility::unwatch() {
    if (sessionNotices_) WTSUnRegisterSessionNotification(window_);
    sessionNotices_ = false;
    if (powerNotice_) {
        if (const auto unregisterNotice = user32Function<UnregisterPowerSettingNotificationFn>(
                "UnregisterPowerSettingNotification"))
            unregisterNotice(powerNotice_);
        powerNotice_ = nullptr;
    }
    window_ = nullptr;
}

void Visibility::heed(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WTSSESSION_CHANGE) {
        switch (wParam) {
        case WTS_SESSION_LOCK:
        case WTS_SESSION_UNLOCK:
            hide(kLocked, wParam == WTS_SESSION_LOCK);
            break;
        // Another user switched in, or the remote client went: the session
        // has no screen until it is connected to one again, either.
        case WTS_CONSOLE_DISCONNECT:
        case WTS_REMOTE_DISCONNECT:
        case WTS_CONSOLE_CONNECT:
        case WTS_REMOTE_CONNECT:
            hide(kDisconnected,
                 wParam == WTS_CONSOLE_DISCONNECT || wParam == WTS_REMOTE_DISCONNECT);
            break;
        }
    } else if (message == WM_POWERBROADCAST && wParam == kPowerSettingChange && lParam) {
        const auto* setting = reinterpret_cast<const PowerSetting*>(lParam);
        if (std::memcmp(&setting->setting, &kConsoleDisplayState, sizeof(GUID)) != 0 ||
            setting->dataLength < sizeof(DWORD))
            return;
        DWORD state;
        std::memcpy(&state, setting->data, sizeof state);
        // A dimmed display is still seen.
        hide(kDisplayOff, state == 0);
    }
}

void Visibility::hide(unsigned reason, bool hidden) {
    const bool wasSeen = seen();
    hidden_ = hidden ? hidden_ | reason : hidden_ & ~reason;
    if (!window_ || seen() == wasSeen) return;
    if (seen())
        SetTimer(window_, timer_, periodMs_, nullptr);
    else
        KillTimer(window_, timer_);
}
