// Physical pixels for one stretch of code in a program that is not DPI-aware.
#pragma once

namespace velumira {

// For its lifetime the calling thread sees and copies the screen in physical
// pixels. The host itself stays DPI-unaware, so that the system scales its
// dialog and preview on scaled screens; only the desktop snapshot needs the
// real pixels. Systems without a per-thread setting (before Windows 10 1607)
// make the whole process aware instead, which the saver can afford: it shows
// no window of its own after its snapshot.
class PhysicalPixelsScope {
  public:
    PhysicalPixelsScope();
    ~PhysicalPixelsScope();
    PhysicalPixelsScope(const PhysicalPixelsScope&) = delete;
    PhysicalPixelsScope& operator=(const PhysicalPixelsScope&) = delete;

  private:
    void* previous_ = nullptr; // the thread's DPI awareness context before
};

} // namespace velumira
