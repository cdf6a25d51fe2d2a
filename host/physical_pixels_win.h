// Physical pixels for one stretch of code, whatever the program's DPI awareness.
#pragma once

namespace velumira {

// For its lifetime the calling thread sees and copies the screen in physical
// pixels. The host declares itself per-monitor aware, which gives the same on
// the systems that read that; the scope keeps the desktop snapshot whole
// where they do not, or where a thread was made unaware. Systems without a
// per-thread setting (before Windows 10 1607) make the whole process aware
// instead, which the saver can afford: it shows no window of its own after
// its snapshot.
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
