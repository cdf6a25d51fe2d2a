#include "frame_core.h"

#include <algorithm>
#include <cmath>

namespace velumira {

namespace {

int clampChannel(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

int blendChannel(int a, int b, int p, int q) {
    int d = a - b;
    int step = (d / p) * q; // C++ division truncates toward zero
    return clampChannel(a - step);
}

int clampInt(long v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : int(v));
}

} // namespace

Colour BlendColour(Colour a, Colour b, int p, int q) {
    if (p == 0) return a;
    return Rgb(blendChannel(Red(a), Red(b), p, q), blendChannel(Green(a), Green(b), p, q),
               blendChannel(Blue(a), Blue(b), p, q));
}

int ToPixels(double twips, int dpi) {
    return TwipsToPixels(int(std::nearbyint(twips)), dpi);
}

FrameProps FrameProps::defaults(Colour containerBack) {
    FrameProps p;
    p.fillColour = containerBack;
    p.backColour = containerBack;
    return p;
}

void FrameProps::setShadowOpacity(long v) {
    shadowOpacity = clampInt(v, 0, 100);
}
void FrameProps::setShadowDepth(long v) {
    shadowDepth = clampInt(v, kMinShadowDepth, kMaxShadowDepth);
}
void FrameProps::setCornerDepth(long v) {
    cornerDepth = clampInt(v, 0, kMaxCornerDepth);
}

void FrameProps::load(const PropertyBag& bag, Colour containerBack) {
    frameStyle = bag.readInt("FrameStyle", kDefaultFrameStyle);
    setShadowOpacity(bag.readInt("ShadowOpacity", kDefaultShadowOpacity));
    showShadow = bag.readBool("ShowShadow", kDefaultShowShadow);
    setShadowDepth(bag.readInt("ShadowDepth", kDefaultShadowDepth));
    fillColour = bag.readColour("FillColour", containerBack);
    backColour = bag.readColour("BackColour", containerBack);
    backColourIs = bag.readInt("BackColourIs", kDefaultBackColourIs);
    borderColour = bag.readColour("BorderColour", kDefaultBorderColour);
    setCornerDepth(bag.readInt("CornerDepth", kDefaultCornerDepth));
}

void FrameProps::save(PropertyBag& bag, Colour containerBack) const {
    bag.writeInt("FrameStyle", frameStyle, kDefaultFrameStyle);
    bag.writeInt("ShadowOpacity", shadowOpacity, kDefaultShadowOpacity);
    bag.writeBool("ShowShadow", showShadow, kDefaultShowShadow);
    bag.writeInt("ShadowDepth", shadowDepth, kDefaultShadowDepth);
    bag.writeColour("FillColour", fillColour, containerBack);
    bag.writeColour("BackColour", backColour, containerBack);
    bag.writeInt("BackColourIs", backColourIs, kDefaultBackColourIs);
    bag.writeColour("BorderColour", borderColour, kDefaultBorderColour);
    bag.writeInt("CornerDepth", cornerDepth, kDefaultCornerDepth);
}

Colour FrameBackground(const FrameProps& p, Colour containerBack) {
    return p.backColourIs != 0 ? p.backColour : containerBack;
}

void DrawFrame(Canvas& c, const FrameProps& p, Colour containerBack, int width, int height,
               int innerWidth, int innerHeight, int dpi) {
    const Colour bg = FrameBackground(p, containerBack);
    c.clear(bg);
    if (p.frameStyle != 0 && p.frameStyle != 1) return;
    const bool rounded = p.frameStyle == 0;
    const int cd = ScalePixels(p.cornerDepth, dpi);
    const int u = LineWidth(dpi);

    auto outline = [&](int l, int t, int r, int b, int ellipse, Colour pen, const Colour* brush) {
        if (rounded)
            c.roundRect(l, t, r, b, ellipse, ellipse, pen, brush);
        else
            c.rectangle(l, t, r, b, pen, brush);
    };
    // The frame itself: filled, with a border u pixels wide inside its edge.
    auto frame = [&](int r, int b) {
        for (int i = 0; i < u; ++i)
            outline(i, i, r - i, b - i, std::max(cd - 2 * i, 0), p.borderColour,
                    i == 0 ? &p.fillColour : nullptr);
    };

    if (!p.showShadow) {
        frame(width, height);
        return;
    }

    const int d = ScalePixels(p.shadowDepth, dpi);
    const Colour shadow = BlendColour(Rgb(0, 0, 0), bg, 100, 100 - p.shadowOpacity);
    for (int i = 0; i <= d; ++i)
        outline(2 * d - i, 2 * d - i, width - d + i, height - d + i, cd,
                BlendColour(shadow, bg, d, i), nullptr);
    if (rounded) SmoothShadowCorners(c, bg, d, cd, innerWidth, innerHeight);
    frame(width - d, height - d);
}

namespace {

// Pixels outside the surface count as background, so the average at the edge
// is not pulled towards the "no colour" reading.
Colour NeighbourColour(const Canvas& c, int x, int y, Colour background) {
    Colour v = c.pixel(x, y);
    return v == kNoColour ? background : v;
}

void smoothZone(Canvas& c, Colour bg, int x0, int x1, int y0, int y1) {
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) {
            if (c.pixel(x, y) != bg) continue;
            const Colour n[4] = {NeighbourColour(c, x, y - 1, bg), NeighbourColour(c, x + 1, y, bg),
                                 NeighbourColour(c, x, y + 1, bg),
                                 NeighbourColour(c, x - 1, y, bg)};
            double r = 0, g = 0, b = 0;
            for (Colour k : n) {
                r += Red(k);
                g += Green(k);
                b += Blue(k);
            }
            c.setPixel(x, y,
                       Rgb(int(std::nearbyint(r / 4)), int(std::nearbyint(g / 4)),
                           int(std::nearbyint(b / 4))));
        }
}

} // namespace

void SmoothShadowCorners(Canvas& c, Colour background, int shadowDepth, int cornerDepth,
                         int innerWidth, int innerHeight) {
    const int d = shadowDepth, cd = cornerDepth, wp = innerWidth, hp = innerHeight;
    smoothZone(c, background, wp - 2 * cd, wp - 3, hp - 2 * cd, hp - 3);
    smoothZone(c, background, wp - 2 * cd, wp - 3, d, 4 * d);
    smoothZone(c, background, d, 4 * d, hp - 2 * cd, hp - 3);
}

} // namespace velumira
