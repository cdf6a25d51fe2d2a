#include "scene/frame_clock_win.h"

#include <mmsystem.h>

FrameClock::FrameClock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ticksPerSecond_ = frequency.QuadPart;

    readRefreshHz();

    // A timer that keeps its time to well under a millisecond where the
    // system has one (Windows 10 1803 on); elsewhere the system's timer is
    // raised to 1 ms for the clock's life, since its default 15.6 ms tick
    // would hold a 60 Hz frame for two periods.
    using CreateTimerEx = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD);
    constexpr DWORD kHighResolution = 0x2; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    const auto createTimerEx = reinterpret_cast<CreateTimerEx>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateWaitableTimerExW")));
    if (createTimerEx) timer_ = createTimerEx(nullptr, nullptr, kHighResolution, TIMER_ALL_ACCESS);
    if (!timer_) {
        timer_ = CreateWaitableTimerA(nullptr, FALSE, nullptr);
        raisedResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    }
}

FrameClock::~FrameClock() {
    if (timer_) CloseHandle(timer_);
    if (raisedResolution_) timeEndPeriod(1);
}

int FrameClock::readRefreshHz() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    refreshHz_ = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)
                     ? int(mode.dmDisplayFrequency)
                     : 0;
    return refreshHz_;
}

int64_t FrameClock::now() const {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

void FrameClock::waitUntil(int64_t tick) {
    const int64_t left = tick - now();
    if (left <= 0) return;
    if (!timer_) {
        // No timer at all: whole milliseconds, rounded down, still never a spin.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left * 1000 / ticksPerSecond_),
                                  QS_ALLINPUT);
        return;
    }
    // Relative due time in 100 ns units.
    LARGE_INTEGER due;
    due.QuadPart =
        -(left / ticksPerSecond_ * 10000000 + left % ticksPerSecond_ * 10000000 / ticksPerSecond_);
    if (due.QuadPart == 0) return;
    SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
    MsgWaitForMultipleObjects(1, &timer_, FALSE, INFINITE, QS_ALLINPUT);
}
