// The cloth's pace on the clock and the frames' pace on the display, on a
// simulated clock: the sheet must swing at one speed on every screen.
#include "scene/frame_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int64_t kTicks = 10000000; // QueryPerformanceCounter's usual 10 MHz
constexpr int64_t kSixtieth = kTicks / 60 + 1;

int64_t at(double seconds) {
    return int64_t(seconds * kTicks + 0.5);
}

// Steps due per frame for frames `interval` seconds apart, checked against the
// clock as they go.
void expectPaceAt(double interval, int frames) {
    StepClock clock(kTicks);
    ASSERT_EQ(clock.stepsDue(at(1.0)), 0) << "the clock starts at the first frame";
    int64_t sum = 0;
    for (int i = 1; i <= frames; ++i) {
        const int due = clock.stepsDue(at(1.0 + i * interval));
        ASSERT_GE(due, 0);
        ASSERT_LE(due, kMaxStepsPerFrame);
        sum += due;
        const double clockSteps = i * interval * kStepsPerSecond;
        ASSERT_LE(sum, clockSteps + 1e-6);
        ASSERT_GE(sum, clockSteps - 1.0 - 1e-6) << "frame " << i;
    }
}

TEST(StepClock, KeepsThePaceOfTheClockAtEveryFrameRate) {
    for (double hz : {60.0, 75.0, 144.0, 240.0, 59.94}) {
        SCOPED_TRACE(hz);
        expectPaceAt(1.0 / hz, 10000);
    }
    // A slow machine: 20 frames a second, 21 steps each.
    StepClock slow(kTicks);
    slow.stepsDue(0);
    for (int i = 1; i <= 100; ++i)
        ASSERT_EQ(slow.stepsDue(i * kTicks / 20), 21);
}

TEST(StepClock, DropsAStallAndStandsStillWhenStopped) {
    StepClock clock(kTicks);
    clock.stepsDue(at(5.0));
    EXPECT_EQ(clock.stepsDue(at(5.0) + kSixtieth), 7);
    // Ten seconds without a frame make up a quarter of a second, then the
    // pace is as before.
    const int64_t stalled = at(5.0) + kSixtieth + 10 * kTicks;
    EXPECT_EQ(clock.stepsDue(stalled), 105);
    EXPECT_EQ(clock.stepsDue(stalled + kSixtieth), 7);
    EXPECT_EQ(clock.stepsDue(stalled + 2 * kSixtieth), 7);
    // Minimised for a minute: no steps for it, and on from where it was.
    clock.stop();
    EXPECT_EQ(clock.stepsDue(stalled + 60 * kTicks), 0);
    EXPECT_EQ(clock.stepsDue(stalled + 60 * kTicks + kSixtieth), 7);
    // Long runs keep their whole steps: a week in, one second is 420 steps.
    StepClock week(kTicks);
    week.stepsDue(0);
    int64_t sum = 0;
    for (int64_t t = 7 * 86400LL * kTicks; t <= 7 * 86400LL * kTicks + kTicks; t += kTicks / 100)
        sum += week.stepsDue(t);
    EXPECT_EQ(sum, 105 + 420);
}

// Windows that log what is done to them, on a clock that moves only when a
// swap or a wait takes time.
struct FakeWindows : FramePlatform {
    int windows = 1;
    int64_t clock = 1000;
    int64_t vblank = 0; // period of a swap that waits for the vertical blank; 0: none
    int64_t drawCost = 0;
    std::vector<std::string> log;
    std::vector<int> stepsDrawn;
    std::vector<bool> visible = std::vector<bool>(8);
    int waits = 0;

    int windowCount() override { return windows; }
    void draw(int w, int steps) override {
        log.push_back("draw" + std::to_string(w));
        if (w == 0) stepsDrawn.push_back(steps);
        clock += drawCost;
    }
    void clear(int w) override { log.push_back("clear" + std::to_string(w)); }
    void swap(int w) override {
        log.push_back("swap" + std::to_string(w));
        if (w == 0 && vblank) clock = (clock / vblank + 1) * vblank;
    }
    void show(int w) override {
        log.push_back("show" + std::to_string(w));
        visible.at(size_t(w)) = true;
    }
    bool shown(int w) override { return visible.at(size_t(w)); }
    void setSwapInterval(int w, int interval) override {
        log.push_back("interval" + std::to_string(w) + "=" + std::to_string(interval));
    }
    int64_t now() override { return clock; }
    void waitUntil(int64_t tick) override {
        ++waits;
        if (tick > clock) clock = tick;
    }

    size_t first(const std::string& what) const {
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i] == what) return i;
        return log.size();
    }
};

TEST(FrameLoop, EveryWindowIsShownOnlyOnceItHasAFrame) {
    FakeWindows fake;
    fake.windows = 3;
    FrameLoop loop(fake, kTicks, 60);
    loop.reveal();
    const std::vector<std::string> want = {
        "interval0=1", "interval1=0", "interval2=0", "draw0", "swap0", "draw1",
        "swap1",       "draw2",       "swap2",       "show0", "show1", "show2",
        "draw0",       "swap0",       "draw1",       "swap1", "draw2", "swap2"};
    EXPECT_EQ(fake.log, want);
    loop.reveal();
    EXPECT_EQ(fake.log.size(), want.size()) << "a second reveal does nothing";

    // The picture missing: the primary is seen black at once, and the clock
    // starts only with the first frame after the box, however long it stood.
    FakeWindows box;
    box.windows = 2;
    FrameLoop boxLoop(box, kTicks, 60);
    boxLoop.reveal(true);
    EXPECT_LT(box.first("clear0"), box.first("show0"));
    EXPECT_LT(box.first("swap0"), box.first("show0"));
    EXPECT_LT(box.first("swap1"), box.first("show1"));
    EXPECT_EQ(box.first("draw0"), box.log.size());
    box.clock += 30 * kTicks;
    boxLoop.idle();
    box.clock += kSixtieth;
    boxLoop.idle();
    EXPECT_EQ(box.stepsDrawn, (std::vector<int>{0, 7}));

    // A monitor joins while the saver runs: its window gets its swap interval
    // and its first frame, then is shown, once.
    fake.log.clear();
    fake.windows = 4;
    fake.clock += kSixtieth;
    loop.idle();
    fake.clock += kSixtieth;
    loop.idle();
    const std::vector<std::string> joined = {
        "draw0", "swap0", "draw1", "swap1", "draw2", "swap2", "interval3=0", "draw3", "swap3",
        "show3", "draw0", "swap0", "draw1", "swap1", "draw2", "swap2",       "draw3", "swap3"};
    EXPECT_EQ(fake.log, joined);
}

TEST(FrameLoop, RestsWhileUnseenAndGoesOnWhereItStood) {
    FakeWindows fake;
    fake.windows = 2;
    FrameLoop loop(fake, kTicks, 60);
    loop.reveal();
    for (int i = 0; i < 60; ++i) {
        fake.clock += kSixtieth;
        loop.idle();
    }
    ASSERT_EQ(fake.stepsDrawn.back(), 7);
    const size_t logged = fake.log.size();
    const int waits = fake.waits;
    const int64_t steps = loop.steps();

    // Locked for ten minutes: not a frame, not a wait, not a step.
    loop.setSeen(false);
    for (int i = 0; i < 600; ++i) {
        fake.clock += kTicks;
        loop.idle();
    }
    EXPECT_FALSE(loop.seen());
    EXPECT_EQ(fake.log.size(), logged);
    EXPECT_EQ(fake.waits, waits);
    EXPECT_EQ(loop.steps(), steps);

    // Seen again: every window draws at once, one frame further on, and the
    // pace is as before.
    loop.setSeen(true);
    loop.setSeen(true);
    loop.idle();
    EXPECT_EQ(std::vector<std::string>(fake.log.begin() + long(logged), fake.log.end()),
              (std::vector<std::string>{"draw0", "swap0", "draw1", "swap1"}));
    EXPECT_EQ(loop.steps() - steps, 7);
    for (int i = 0; i < 3; ++i) {
        fake.clock += kSixtieth;
        loop.idle();
        EXPECT_EQ(fake.stepsDrawn.back(), 7);
    }
    EXPECT_EQ(fake.waits, waits);

    // At 144 Hz one frame is under three steps.
    loop.setRefreshHz(144);
    loop.setSeen(false);
    fake.clock += 5 * kTicks;
    loop.setSeen(true);
    loop.idle();
    EXPECT_EQ(fake.stepsDrawn.back(), 2);
}

// Frames and steps over ten simulated seconds of idle turns.
struct Pace {
    double framesPerSecond;
    double stepsPerSecond;
    int waits;
};
Pace runFor(FakeWindows& fake, int refreshHz, int maxFramesPerSecond = 0) {
    FrameLoop loop(fake, kTicks, refreshHz, maxFramesPerSecond);
    loop.reveal();
    const int64_t start = fake.clock;
    const int64_t frames0 = loop.frames(), steps0 = loop.steps();
    while (fake.clock - start < 10 * kTicks)
        loop.idle();
    const double seconds = double(fake.clock - start) / kTicks;
    return {double(loop.frames() - frames0) / seconds, double(loop.steps() - steps0) / seconds,
            fake.waits};
}

TEST(FrameLoop, FramesAtTheDisplaysRateAndStepsAtTheClocks) {
    // No vertical blank anywhere: the timed wait holds the rate.
    for (int hz : {60, 144, 0}) {
        SCOPED_TRACE(hz);
        FakeWindows fake;
        fake.windows = 2;
        fake.drawCost = kTicks / 1000;
        const Pace run = runFor(fake, hz);
        const double rate = hz ? hz : 60;
        EXPECT_LE(run.framesPerSecond, rate * 1.02);
        EXPECT_GE(run.framesPerSecond, rate * 0.98);
        EXPECT_NEAR(run.stepsPerSecond, 420, 420 * 0.01);
    }
    // The primary's swap waits for a 60 Hz blank: no timed wait on top of it,
    // so the rate stays at 60 and is never halved.
    FakeWindows synced;
    synced.windows = 3;
    synced.vblank = kSixtieth;
    synced.drawCost = kTicks / 500;
    const Pace run = runFor(synced, 60);
    EXPECT_EQ(run.waits, 0);
    EXPECT_NEAR(run.framesPerSecond, 60, 0.2);
    EXPECT_NEAR(run.stepsPerSecond, 420, 420 * 0.01);
    // Too slow for the display: 20 frames a second, still 420 steps a second.
    FakeWindows slow;
    slow.drawCost = kTicks / 20;
    const Pace slowRun = runFor(slow, 60);
    EXPECT_NEAR(slowRun.framesPerSecond, 20, 0.2);
    EXPECT_NEAR(slowRun.stepsPerSecond, 420, 420 * 0.01);
    // Held to at most 20 a second: every third refresh at 60 Hz, synchronised
    // or not, and every eighth at 144 Hz; the cloth keeps its pace.
    for (int64_t vblank : {int64_t(0), kSixtieth}) {
        FakeWindows held;
        held.vblank = vblank;
        const Pace heldRun = runFor(held, 60, 20);
        EXPECT_NEAR(heldRun.framesPerSecond, 20, 0.2);
        EXPECT_NEAR(heldRun.stepsPerSecond, 420, 420 * 0.01);
    }
    FakeWindows fast;
    EXPECT_NEAR(runFor(fast, 144, 20).framesPerSecond, 18, 0.2);
}

TEST(FrameLoop, FollowsTheDisplaysNewRate) {
    FakeWindows fake;
    FrameLoop loop(fake, kTicks, 60);
    loop.reveal();
    const auto framesInASecond = [&] {
        const int64_t start = fake.clock, frames = loop.frames();
        while (fake.clock - start < kTicks)
            loop.idle();
        return loop.frames() - frames;
    };
    EXPECT_NEAR(double(framesInASecond()), 60, 1);
    loop.setRefreshHz(144);
    EXPECT_NEAR(double(framesInASecond()), 144, 2);
    loop.setRefreshHz(0); // unknown
    EXPECT_NEAR(double(framesInASecond()), 60, 1);
}

} // namespace
