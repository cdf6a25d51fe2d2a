// Whether anyone can see the cloth: the console display on, the session
// unlocked and on a screen.
#pragma once

#include <windows.h>

class Visibility {
  public:
    // Asks the system to tell `window` when the console display goes off or
    // on and when the session is locked or leaves its screen. The window's
    // wake-up timer `timer` (of `periodMs`) stops while no one can see the
    // cloth, so that nothing but a message wakes the renderer.
    void watch(HWND window, UINT_PTR timer, UINT periodMs);
    // Before the window goes.
    void unwatch();

    // Takes note of what a message says, registered for or not.
    void heed(UINT message, WPARAM wParam, LPARAM lParam);
    bool seen() const { return hidden_ == 0; }

  private:
    void hide(unsigned reason, bool hidden);

    unsigned hidden_ = 0; // the reasons no one can see the cloth
    HWND window_ = nullptr;
    UINT_PTR timer_ = 0;
    UINT periodMs_ = 0;
    HANDLE powerNotice_ = nullptr;
    bool sessionNotices_ = false;
};

extern Visibility visibility;
