// The drawing operations the controls' painting rules need, so those rules
// stay platform-free: the windows draw through GDI on their memory surface,
// the native tests through a plain pixel buffer.
#pragma once

#include "property_bag.h"

namespace velumira {

constexpr int Red(Colour c) {
    return int(c & 0xFF);
}
constexpr int Green(Colour c) {
    return int((c >> 8) & 0xFF);
}
constexpr int Blue(Colour c) {
    return int((c >> 16) & 0xFF);
}
constexpr Colour Rgb(int r, int g, int b) {
    return Colour(r & 0xFF) | (Colour(g & 0xFF) << 8) | (Colour(b & 0xFF) << 16);
}
// What pixel reads outside the surface give (the platform's CLR_INVALID).
constexpr Colour kNoColour = 0xFFFFFFFFu;

class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Fills the whole surface.
    virtual void clear(Colour background) = 0;
    // One-pixel line; the end point itself is not painted.
    virtual void line(int x1, int y1, int x2, int y2, Colour colour) = 0;
    // Fills left <= x < right, top <= y < bottom.
    virtual void fillRect(int left, int top, int right, int bottom, Colour colour) = 0;
    virtual void setPixel(int x, int y, Colour colour) = 0;
    // kNoColour outside the surface.
    virtual Colour pixel(int x, int y) const = 0;
    // Outline in `pen` of the rectangle left..right-1, top..bottom-1, filled
    // with *brush inside, or hollow when brush is null.
    virtual void rectangle(int left, int top, int right, int bottom, Colour pen,
                           const Colour* brush) = 0;
    // The same with corners rounded by an ellipse of ew x eh.
    virtual void roundRect(int left, int top, int right, int bottom, int ew, int eh, Colour pen,
                           const Colour* brush) = 0;
};

} // namespace velumira
