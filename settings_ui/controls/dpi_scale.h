// Lengths of the settings dialog and its controls at the DPI of the screen
// they are shown on. The form is laid out in twips and the controls were drawn
// for 96 dpi; both become pixels here, so that at 96 dpi nothing moves.
// Platform-free.
#pragma once

#include <cmath>

namespace velumira {

constexpr int kBaseDpi = 96;
constexpr int kTwipsPerInch = 1440;
// Twips per pixel at 96 dpi: the grid the form is laid out on.
constexpr int kBaseTwipsPerPixel = kTwipsPerInch / kBaseDpi;

namespace detail {
// num / den to the nearest integer, halves away from minus infinity (den > 0).
constexpr int RoundedQuotient(long long num, long long den) {
    const long long n = 2 * num + den, d = 2 * den;
    return static_cast<int>(n >= 0 ? n / d : -((-n + d - 1) / d));
}
} // namespace detail

// twips x dpi / 1440, to the nearest pixel. Every length on the 15-twip grid
// is exactly twips / 15 at 96 dpi; at 144 dpi 3585 twips are 359 pixels.
constexpr int TwipsToPixels(int twips, int dpi) {
    return detail::RoundedQuotient(static_cast<long long>(twips) * dpi, kTwipsPerInch);
}

// A length drawn as `pixels` at 96 dpi, at `dpi`, to the nearest pixel.
constexpr int ScalePixels(int pixels, int dpi) {
    return detail::RoundedQuotient(static_cast<long long>(pixels) * dpi, kBaseDpi);
}

// How many pixels a one-pixel line of the controls is at `dpi`: whole pixels
// keep borders, bands and dots crisp (1 below 144 dpi, 2 from 144, 3 from 240).
constexpr int LineWidth(int dpi) {
    const int w = ScalePixels(1, dpi);
    return w < 1 ? 1 : w;
}

// A font's height in pixels at `dpi`, from its size in points: its height at
// 96 dpi to the nearest pixel, scaled as the layout is and rounded down, so
// that a text that fits its place at 96 dpi fits it at every DPI (9.75 pt:
// 13 pixels at 96 dpi, 19 at 144).
inline int FontHeightPixels(double points, int dpi) {
    const long long at96 = std::llround(points * kBaseDpi / 72.0);
    return static_cast<int>(at96 * dpi / kBaseDpi);
}

} // namespace velumira
