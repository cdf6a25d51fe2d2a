// A control's drawing surface: a memory DC over a 32-bit DIB the size of the
// client area. The controls draw into it whenever their look changes and
// copy it to the screen on WM_PAINT, so what was drawn can also be read back
// pixel by pixel.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "canvas.h"

namespace velumira {

class GdiSurface : public Canvas {
  public:
    GdiSurface();
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    // Gives the surface a new size (contents are lost); sizes below 1 make a
    // 1 x 1 surface. False when the size was already that.
    bool resize(int width, int height);
    HDC dc() const { return dc_; }
    // Copies the surface to `target` at (x, y).
    void copyTo(HDC target, int x = 0, int y = 0) const;
    // Answers the painting messages of the window whose look this surface
    // holds: WM_PAINT and WM_PRINTCLIENT copy it out, WM_ERASEBKGND is skipped
    // because the copy covers the whole client area. True, with the message's
    // result in `result`, when `msg` was one of them.
    bool answerPaint(HWND wnd, UINT msg, WPARAM wp, LRESULT& result) const;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void clear(Colour background) override;
    void line(int x1, int y1, int x2, int y2, Colour colour) override;
    void fillRect(int left, int top, int right, int bottom, Colour colour) override;
    void setPixel(int x, int y, Colour colour) override;
    Colour pixel(int x, int y) const override;
    void rectangle(int left, int top, int right, int bottom, Colour pen,
                   const Colour* brush) override;
    void roundRect(int left, int top, int right, int bottom, int ew, int eh, Colour pen,
                   const Colour* brush) override;

  private:
    template <class F> void withPenAndBrush(Colour pen, const Colour* brush, F draw);
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    int width_ = 0, height_ = 0;
};

} // namespace velumira
