// How the renderer paces its cloth and its frames: simulated time follows the
// wall clock whatever the frame rate, and frames come no faster than the
// display shows them. Platform-free: the windows, the clock and the wait are a
// seam, so the pacing can be tested without a screen.
#pragma once

#include <cstdint>

// The cloth's pace: seven steps for every sixtieth of a second, as the sheet
// was designed to swing on a 60 Hz screen.
constexpr int kStepsPerSecond = 420;
// At most a quarter of a second is made up in one frame. A longer stall (a
// message box, a suspended session, a debugger) is dropped rather than played
// back as a burst.
constexpr int kMaxStepsPerFrame = kStepsPerSecond / 4;
// Where the display reports no rate of its own.
constexpr int kFallbackRefreshHz = 60;

// Whole steps due on a monotonic clock of `ticksPerSecond`. The clock starts at
// the first stepsDue after construction or stop(), which is due no steps;
// from then on every call is due the steps the clock has made since the last.
// Integer arithmetic throughout: over any number of frames the steps taken
// stay within one step of the clock.
class StepClock {
  public:
    explicit StepClock(int64_t ticksPerSecond) : ticksPerSecond_(ticksPerSecond) {}

    int stepsDue(int64_t now);
    // The clock stands still until the next stepsDue: the time in between is
    // not simulated.
    void stop() { running_ = false; }
    // The clock runs on from `from`, as though the steps had last been
    // counted then.
    void startFrom(int64_t from);
    bool running() const { return running_; }

  private:
    int64_t ticksPerSecond_;
    bool running_ = false;
    int64_t origin_ = 0; // when the steps were last counted from zero
    int64_t taken_ = 0;  // steps due since origin_
};

// What drawing frames needs of the platform. Window 0 is the primary's; the
// others are the further monitors'. Windows may come and go between frames,
// as monitors do.
class FramePlatform {
  public:
    virtual ~FramePlatform() = default;
    virtual int windowCount() = 0;
    // Steps that window's cloth `steps` times and draws it into the back buffer.
    virtual void draw(int window, int steps) = 0;
    // Clears that window's back buffer to black, drawing nothing.
    virtual void clear(int window) = 0;
    virtual void swap(int window) = 0;
    // Makes a window visible: the primary's also takes the foreground and the
    // keyboard focus, the others show without being activated.
    virtual void show(int window) = 0;
    virtual bool shown(int window) = 0;
    // Where the driver offers swap control; otherwise does nothing.
    virtual void setSwapInterval(int window, int interval) = 0;
    virtual int64_t now() = 0;
    // Returns at `tick`, or earlier as soon as a message arrives.
    virtual void waitUntil(int64_t tick) = 0;
};

// The renderer's frames over all its windows.
//
// Each pass draws every window and swaps it. Only the primary's swap waits for
// the vertical blank, so a pass over several monitors waits for one, not one
// per monitor. Where no swap waits (no vertical blank to be had), frames are
// held to the display's rate by a timed wait from one frame's start to the
// next; a swap that did wait has already used up that time, so nothing waits
// twice. The floor is a hundredth short of the refresh period, so that a
// vertical blank coming a little early never finds the loop still waiting.
//
// A view too small to gain from every refresh may hold its frames to
// `maxFramesPerSecond`: it then draws on every n-th refresh, the fewest that
// keep within it, so that a synchronised swap never waits a refresh longer
// on one frame than on the next.
class FrameLoop {
  public:
    FrameLoop(FramePlatform& platform, int64_t ticksPerSecond, int refreshHz,
              int maxFramesPerSecond = 0);

    // The display's rate changed (a new mode, another primary monitor): the
    // frames follow it from the next one on.
    void setRefreshHz(int refreshHz);

    // Draws every window's first frame, then shows them all at once, then
    // draws a second frame for drivers that present only visible windows. A
    // window that comes later is shown after its own first frame. With
    // `blankPrimary` the primary is cleared to black instead of drawn, and the
    // cloth's clock is not started: that is for a window that must be seen at
    // once, before its picture is there. Does nothing once done.
    void reveal(bool blankPrimary = false);
    bool revealed() const { return revealed_; }
    // One idle turn of the message loop: waits while the next frame is not
    // due, else draws a frame on every window with the steps due.
    void idle();
    // No frames for a while (minimised): no steps are due for that time.
    void pause() { clock_.stop(); }
    // Whether anyone can see the frames. While no one can (the display off,
    // the session locked or away from its screen), idle turns ask for nothing
    // and the time is not simulated; once seen again, the next idle turn
    // draws at once, and its frame moves the cloth on by one frame's steps
    // from where it stood.
    void setSeen(bool seen);
    bool seen() const { return seen_; }

    // What has been drawn, for measurements.
    int64_t frames() const { return frames_; }
    int64_t steps() const { return steps_; }

  private:
    void pass(int steps, bool blankPrimary);

    FramePlatform& platform_;
    StepClock clock_;
    int64_t ticksPerSecond_;
    int maxFramesPerSecond_;
    int64_t minInterval_ = 0; // ticks from one frame's start to the next
    int64_t frameTicks_ = 0;  // one frame's time on the display, rounded up
    int64_t nextFrame_ = 0;   // earliest start of the next frame
    bool revealed_ = false;
    bool seen_ = true;
    bool resuming_ = false; // seen again, and no frame drawn since
    int64_t frames_ = 0;
    int64_t steps_ = 0;
};
