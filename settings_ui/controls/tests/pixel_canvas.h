// A plain pixel buffer with the platform's rules for lines (end point left
// out) and rectangles (right and bottom edge left out). Rounded rectangles
// are only recorded.
#pragma once

#include <cstdlib>
#include <vector>

#include "canvas.h"

namespace velumira::test {

class PixelCanvas : public Canvas {
  public:
    struct RoundRectCall {
        int left, top, right, bottom, ew, eh;
        Colour pen;
        bool filled;
    };

    PixelCanvas(int w, int h) : w_(w), h_(h), px_(std::size_t(w) * h, 0) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    void clear(Colour bg) override { px_.assign(px_.size(), bg); }
    void line(int x1, int y1, int x2, int y2, Colour c) override {
        // Only the straight lines the controls draw.
        if (y1 == y2) {
            for (int x = x1; x != x2; x += (x2 > x1 ? 1 : -1))
                setPixel(x, y1, c);
        } else if (x1 == x2) {
            for (int y = y1; y != y2; y += (y2 > y1 ? 1 : -1))
                setPixel(x1, y, c);
        } else {
            std::abort();
        }
    }
    void fillRect(int l, int t, int r, int b, Colour c) override {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                setPixel(x, y, c);
    }
    void setPixel(int x, int y, Colour c) override {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[std::size_t(y) * w_ + x] = c;
    }
    Colour pixel(int x, int y) const override {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return kNoColour;
        return px_[std::size_t(y) * w_ + x];
    }
    void rectangle(int l, int t, int r, int b, Colour pen, const Colour* brush) override {
        if (brush) fillRect(l + 1, t + 1, r - 1, b - 1, *brush);
        line(l, t, r - 1, t, pen);
        line(r - 1, t, r - 1, b - 1, pen);
        line(r - 1, b - 1, l, b - 1, pen);
        line(l, b - 1, l, t, pen);
    }
    void roundRect(int l, int t, int r, int b, int ew, int eh, Colour pen,
                   const Colour* brush) override {
        roundRects.push_back({l, t, r, b, ew, eh, pen, brush != nullptr});
    }

    std::vector<RoundRectCall> roundRects;

  private:
    int w_, h_;
    std::vector<Colour> px_;
};

} // namespace velumira::test
