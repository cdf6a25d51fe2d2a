// What the renderer's windows make of the system's notices that no one can
// see the cloth, in-process: the display's power notice carries a pointer, so
// no other program can send it.
#include "renderer/renderer_app.h"
#include "renderer/rest_win.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// GUID_MONITOR_POWER_ON, whose data means something else.
const GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

struct Notice {
    GUID setting;
    DWORD dataLength;
    DWORD data;
};

// The real window procedure on a window of the test's own, whose wake-up
// timer the notices stop and start.
class Rest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = windowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelumiraRestTest";
        RegisterClassA(&wc);
        window = CreateWindowA(wc.lpszClassName, "rest test", WS_POPUP, 0, 0, 64, 64, nullptr,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        SetTimer(window, kWakeTimer, kWakePeriodMs, nullptr);
        visibility.watch(window, kWakeTimer, kWakePeriodMs);
    }
    void TearDown() override {
        visibility.unwatch();
        DestroyWindow(window);
    }

    void display(DWORD state, const GUID& setting = kConsoleDisplayState, DWORD length = 4) {
        Notice notice = {setting, length, state};
        SendMessageA(window, WM_POWERBROADCAST, 0x8013, LPARAM(&notice));
    }
    void session(WPARAM change) { SendMessageA(window, WM_WTSSESSION_CHANGE, change, 0); }
    // Whether the wake-up timer fires within a tenth of a second.
    bool ticks() {
        MSG message;
        while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        }
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 100) {
            if (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) return true;
            Sleep(5);
        }
        return false;
    }

    HWND window = nullptr;
};

TEST_F(Rest, TheDisplayOffOrTheSessionAwayHidesTheClothAndStopsTheTimer) {
    // Whatever the system said when the window registered, the display is on.
    display(1);
    ASSERT_TRUE(visibility.seen());
    EXPECT_TRUE(ticks());

    display(0);
    EXPECT_FALSE(visibility.seen());
    EXPECT_FALSE(ticks()) << "a timer wakes the resting renderer";
    display(2);
    EXPECT_TRUE(visibility.seen()) << "a dimmed display is still seen";
    EXPECT_TRUE(ticks());

    // Notices of other settings, or without their data, change nothing.
    display(0, kMonitorPowerOn);
    display(0, kConsoleDisplayState, 0);
    EXPECT_TRUE(visibility.seen());

    // Each reason holds until its own end.
    display(0);
    session(WTS_SESSION_LOCK);
    display(1);
    EXPECT_FALSE(visibility.seen()) << "the display came on at the lock screen";
    session(WTS_CONSOLE_DISCONNECT);
    session(WTS_SESSION_UNLOCK);
    EXPECT_FALSE(visibility.seen()) << "unlocked, but another user has the console";
    session(WTS_REMOTE_CONNECT);
    EXPECT_TRUE(visibility.seen());
    EXPECT_TRUE(ticks());
    session(WTS_REMOTE_DISCONNECT);
    EXPECT_FALSE(visibility.seen());
    session(WTS_CONSOLE_CONNECT);
    EXPECT_TRUE(visibility.seen());
}

} // namespace
