// GFXFrameX's properties and painting rules, platform-free.
#pragma once

#include "canvas.h"
#include "dpi_scale.h"

namespace velumira {

// A colour part of the way from `a` towards `b`: per channel
// a - trunc((a - b) / p) * q. Dividing first makes the result move in whole
// multiples of q. p = 0 gives `a`.
Colour BlendColour(Colour a, Colour b, int p, int q);

// A length in twips to pixels at `dpi`: rounded to whole twips, then
// TwipsToPixels (15 twips a pixel at 96 dpi).
int ToPixels(double twips, int dpi);

struct FrameProps {
    static constexpr long kDefaultFrameStyle = 1;
    static constexpr int kDefaultShadowOpacity = 50;
    static constexpr bool kDefaultShowShadow = true;
    static constexpr int kDefaultShadowDepth = 5;
    static constexpr long kDefaultBackColourIs = 0;
    static constexpr Colour kDefaultBorderColour = 0;
    static constexpr int kDefaultCornerDepth = 10;

    static constexpr int kMaxShadowDepth = 50;
    static constexpr int kMinShadowDepth = 2;
    static constexpr int kMaxCornerDepth = 50;

    long frameStyle = kDefaultFrameStyle;
    int shadowOpacity = kDefaultShadowOpacity;
    bool showShadow = kDefaultShowShadow;
    int shadowDepth = kDefaultShadowDepth;
    Colour fillColour = 0;
    Colour backColour = 0;
    long backColourIs = kDefaultBackColourIs;
    Colour borderColour = kDefaultBorderColour;
    int cornerDepth = kDefaultCornerDepth;

    // New-control defaults; the two colours take the container's background.
    static FrameProps defaults(Colour containerBack);

    // Assignment with the ranges enforced.
    void setShadowOpacity(long v);
    void setShadowDepth(long v);
    void setCornerDepth(long v);

    // Reads the nine names in order, absent ones taking their defaults.
    // Stored values outside the assignment ranges are brought into range as
    // an assignment would.
    void load(const PropertyBag& bag, Colour containerBack);
    void save(PropertyBag& bag, Colour containerBack) const;
};

// The colour the background is painted in.
Colour FrameBackground(const FrameProps& p, Colour containerBack);

// Draws the whole frame on `c`: width/height are the control's outer size in
// pixels, innerWidth/innerHeight its client size (the same for a window
// without a border). ShadowDepth and CornerDepth are pixels at 96 dpi and
// scale with `dpi`, the border grows to LineWidth(dpi).
void DrawFrame(Canvas& c, const FrameProps& p, Colour containerBack, int width, int height,
               int innerWidth, int innerHeight, int dpi = kBaseDpi);

// Fills the background-coloured gaps rounded shadow outlines leave near the
// corners with the average of their four neighbours.
void SmoothShadowCorners(Canvas& c, Colour background, int shadowDepth, int cornerDepth,
                         int innerWidth, int innerHeight);

} // namespace velumira
