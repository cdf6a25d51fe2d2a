#include "scene/frame_loop.h"

int StepClock::stepsDue(int64_t now) {
    // A clock that ran backwards is started again rather than trusted.
    if (!running_ || now < origin_) {
        running_ = true;
        origin_ = now;
        taken_ = 0;
        return 0;
    }
    // Whole seconds and the rest apart, so that no product can overflow
    // however long the saver runs.
    const int64_t elapsed = now - origin_;
    const int64_t made = elapsed / ticksPerSecond_ * kStepsPerSecond +
                         elapsed % ticksPerSecond_ * kStepsPerSecond / ticksPerSecond_;
    const int64_t due = made - taken_;
    if (due > kMaxStepsPerFrame) {
        origin_ = now;
        taken_ = 0;
        return kMaxStepsPerFrame;
    }
    taken_ = made;
    return int(due);
}

void StepClock::startFrom(int64_t from) {
    running_ = true;
    origin_ = from;
    taken_ = 0;
}

FrameLoop::FrameLoop(FramePlatform& platform, int64_t ticksPerSecond, int refreshHz,
                     int maxFramesPerSecond)
    : platform_(platform), clock_(ticksPerSecond), ticksPerSecond_(ticksPerSecond),
      maxFramesPerSecond_(maxFramesPerSecond) {
    setRefreshHz(refreshHz);
}

void FrameLoop::setRefreshHz(int refreshHz) {
    if (refreshHz <= 1) refreshHz = kFallbackRefreshHz;
    int64_t refreshesPerFrame = 1;
    if (maxFramesPerSecond_ > 0)
        refreshesPerFrame = (refreshHz + maxFramesPerSecond_ - 1) / maxFramesPerSecond_;
    minInterval_ = ticksPerSecond_ * 99 * refreshesPerFrame / (int64_t(refreshHz) * 100);
    frameTicks_ = (ticksPerSecond_ * refreshesPerFrame + refreshHz - 1) / refreshHz;
}

void FrameLoop::setSeen(bool seen) {
    if (seen == seen_) return;
    seen_ = seen;
    resuming_ = seen;
    if (!seen) clock_.stop();
}

namespace {

// Only the primary's swap waits for the vertical blank.
int swapInterval(int window) {
    return window == 0 ? 1 : 0;
}

} // namespace

void FrameLoop::pass(int steps, bool blankPrimary) {
    const int windows = platform_.windowCount();
    for (int w = 0; w < windows; ++w) {
        // A window that came after the reveal, with a monitor that joined, is
        // set up like the others and shown once it has a frame.
        const bool late = revealed_ && !platform_.shown(w);
        if (late) platform_.setSwapInterval(w, swapInterval(w));
        if (w == 0 && blankPrimary)
            platform_.clear(w);
        else
            platform_.draw(w, steps);
        platform_.swap(w);
        if (late) platform_.show(w);
    }
    ++frames_;
    steps_ += steps;
}

void FrameLoop::reveal(bool blankPrimary) {
    if (revealed_) return;
    const int windows = platform_.windowCount();
    for (int w = 0; w < windows; ++w)
        platform_.setSwapInterval(w, swapInterval(w));
    const auto frame = [&] {
        const int64_t now = platform_.now();
        nextFrame_ = now + minInterval_;
        pass(blankPrimary ? 0 : clock_.stepsDue(now), blankPrimary);
    };
    frame();
    for (int w = 0; w < windows; ++w)
        platform_.show(w);
    revealed_ = true;
    frame();
}

void FrameLoop::idle() {
    if (!seen_) return;
    const int64_t now = platform_.now();
    if (resuming_) {
        // The frame that was due when the cloth went out of sight comes now,
        // as the next after the last one seen.
        resuming_ = false;
        clock_.startFrom(now - frameTicks_);
        nextFrame_ = now;
    }
    if (now < nextFrame_) {
        platform_.waitUntil(nextFrame_);
        return;
    }
    nextFrame_ = now + minInterval_;
    pass(clock_.stepsDue(now), false);
}
