// The clock the frame loop runs on, and its wait for the next frame.
#pragma once

#include <windows.h>

#include <cstdint>

class FrameClock {
  public:
    FrameClock();
    ~FrameClock();
    FrameClock(const FrameClock&) = delete;
    FrameClock& operator=(const FrameClock&) = delete;

    int64_t ticksPerSecond() const { return ticksPerSecond_; }
    // The primary display's rate as the system reported it when the clock was
    // made, or when it was last asked again; 0 or 1 when unknown.
    int refreshHz() const { return refreshHz_; }
    int readRefreshHz();
    // QueryPerformanceCounter.
    int64_t now() const;
    // Returns at `tick`, or earlier as soon as a message arrives for the
    // calling thread; never spins.
    void waitUntil(int64_t tick);

  private:
    int64_t ticksPerSecond_ = 1;
    int refreshHz_ = 0;
    HANDLE timer_ = nullptr;
    bool raisedResolution_ = false;
};
