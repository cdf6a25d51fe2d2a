// This-pointer plumbing for the controls' window procedures: the object is
// handed to CreateWindowEx, stored in the window at WM_NCCREATE and receives
// every message through handleMessage(). The window owns the object: it is
// deleted after WM_NCDESTROY, or, if the window is destroyed while the object
// is still busy running its own code further up the stack (an event handler
// closing the dialog), once that code has finished.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumira {

template <class T> class BaseWindow {
  public:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        T* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
            self->hwnd_ = wnd;
            if (self->ncCreateSeen_) *self->ncCreateSeen_ = true;
            SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcA(wnd, msg, wp, lp);
        LRESULT result;
        {
            Busy busy(self);
            result = self->handleMessage(msg, wp, lp);
            if (msg == WM_NCDESTROY) {
                SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
                self->hwnd_ = nullptr;
                self->deletePending_ = true;
            }
        }
        return result;
    }

    HWND hwnd() const { return hwnd_; }

    // Set by the creator: tells it whether the window took ownership (then a
    // failed creation has already deleted the object).
    bool* ncCreateSeen_ = nullptr;

  protected:
    // Holds the object alive while its code runs; nested messages (a Click
    // handler destroying the window) only mark it for deletion.
    class Busy {
      public:
        explicit Busy(BaseWindow* w) : w_(w) { ++w_->busy_; }
        ~Busy() {
            if (--w_->busy_ == 0 && w_->deletePending_) delete static_cast<T*>(w_);
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        BaseWindow* w_;
    };

    // True while the window exists.
    bool alive() const { return hwnd_ != nullptr; }

    HWND hwnd_ = nullptr;

  private:
    int busy_ = 0;
    bool deletePending_ = false;
};

} // namespace velumira
