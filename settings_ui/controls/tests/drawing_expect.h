// Pixel expectations shared by the native drawing tests (on a pixel buffer)
// and the Windows ones (on the controls' own GDI surfaces).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "button_core.h"
#include "frame_core.h"

namespace velumira::test {

using PixelAt = std::function<Colour(int, int)>;

inline std::string Hex(Colour c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", unsigned(c));
    return buf;
}

#define EXPECT_PIXEL(px, x, y, colour)                                                             \
    EXPECT_EQ(Hex(px(x, y)), Hex(colour)) << "at (" << (x) << "," << (y) << ")"

// The gradient's value of row `i` counted from the bottom.
inline Colour GradientRow(Colour c1, Colour c2, int i, int n) {
    auto ch = [&](int a, int b) { return int(std::nearbyint(float(b) + float(i * (a - b)) / n)); };
    return Rgb(ch(Red(c1), Red(c2)), ch(Green(c1), Green(c2)), ch(Blue(c1), Blue(c2)));
}

// Border, bands, face edges and corner pixels of a w x h button in `state`.
// The middle, where the caption goes, is not looked at.
inline void ExpectButtonFace(const PixelAt& px, int w, int h, int state) {
    SCOPED_TRACE("state " + std::to_string(state));
    const ButtonColours& k = ButtonColoursOf(state);
    for (int x = 3; x <= w - 4; ++x) {
        EXPECT_PIXEL(px, x, 0, k.border);
        EXPECT_PIXEL(px, x, h - 1, k.border);
    }
    for (int y = 3; y <= h - 4; ++y) {
        EXPECT_PIXEL(px, 0, y, k.border);
        EXPECT_PIXEL(px, w - 1, y, k.border);
    }
    if (state >= 1 && state <= 3) {
        for (int x = 2; x <= w - 3; ++x)
            EXPECT_PIXEL(px, x, 1, k.line1);
        for (int x = 1; x <= w - 2; ++x)
            EXPECT_PIXEL(px, x, 2, k.line2);
        for (int x = 1; x <= w - 2; ++x)
            EXPECT_PIXEL(px, x, h - 3, k.lineH3);
        for (int x = 2; x <= w - 3; ++x)
            EXPECT_PIXEL(px, x, h - 2, k.lineH2);
        // Outer gradient: top row at its start colour, and the rows between
        // at the interpolated values; the inner one likewise.
        const int outerN = (h - 2) - 3, innerN = (h - 3) - 3;
        for (int x : {1, 2, w - 3, w - 2}) {
            EXPECT_PIXEL(px, x, 3, k.outerTop);
            EXPECT_PIXEL(px, x, h - 4, GradientRow(k.outerTop, k.outerBottom, 2, outerN));
        }
        for (int x : {3, 4, w - 5, w - 4}) {
            EXPECT_PIXEL(px, x, 3, kInnerGradientTop);
            EXPECT_PIXEL(px, x, h - 4,
                         GradientRow(kInnerGradientTop, kInnerGradientBottom, 1, innerN));
        }
    } else {
        for (int x = 2; x <= w - 3; ++x) {
            EXPECT_PIXEL(px, x, 1, k.face);
            EXPECT_PIXEL(px, x, h - 2, k.face);
        }
        for (int y = 2; y <= h - 3; ++y) {
            EXPECT_PIXEL(px, 1, y, k.face);
            EXPECT_PIXEL(px, w - 2, y, k.face);
        }
    }
    struct P {
        int x, y;
        Colour c;
    };
    const P corners[] = {
        {0, 1, k.cornerB},         {0, 2, k.cornerA},         {1, 0, k.cornerB},
        {1, 1, k.cornerC},         {2, 0, k.cornerA},         {w - 1, 1, k.cornerB},
        {w - 1, 2, k.cornerA},     {w - 2, 0, k.cornerB},     {w - 2, 1, k.cornerC},
        {w - 3, 0, k.cornerA},     {0, h - 2, k.cornerB},     {0, h - 3, k.cornerA},
        {1, h - 1, k.cornerB},     {1, h - 2, k.cornerC},     {2, h - 1, k.cornerA},
        {w - 1, h - 2, k.cornerB}, {w - 1, h - 3, k.cornerA}, {w - 2, h - 1, k.cornerB},
        {w - 2, h - 2, k.cornerC}, {w - 3, h - 1, k.cornerA},
    };
    for (const P& p : corners)
        EXPECT_PIXEL(px, p.x, p.y, p.c);
}

// Square frame with its shadow on background `bg`: the rings along the right
// and bottom edges, from the frame outward, then the frame's own edge.
inline void ExpectSquareShadow(const PixelAt& px, int w, int h, int depth, Colour bg,
                               const std::vector<Colour>& rings, Colour border, Colour fill) {
    const int midY = (2 * depth + h) / 2, midX = (2 * depth + w) / 2;
    ASSERT_EQ(int(rings.size()), depth);
    for (int i = 1; i <= depth; ++i) {
        SCOPED_TRACE("ring " + std::to_string(i));
        EXPECT_PIXEL(px, w - depth - 1 + i, midY, rings[i - 1]);
        EXPECT_PIXEL(px, midX, h - depth - 1 + i, rings[i - 1]);
    }
    // The frame hides ring 0; its border sits on the last column and row of
    // the face.
    EXPECT_PIXEL(px, w - depth - 1, midY, border);
    EXPECT_PIXEL(px, midX, h - depth - 1, border);
    EXPECT_PIXEL(px, 0, 0, border);
    EXPECT_PIXEL(px, 1, 1, fill);
    EXPECT_PIXEL(px, w - depth - 2, h - depth - 2, fill);
    // Above and left of the outermost ring's start lies only background.
    EXPECT_PIXEL(px, w - 1, depth - 1, bg);
    EXPECT_PIXEL(px, depth - 1, h - 1, bg);
}

inline void ExpectOnlyBackground(const PixelAt& px, int w, int h, Colour bg) {
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong += px(x, y) != bg;
    EXPECT_EQ(wrong, 0) << "pixels other than " << Hex(bg);
}

} // namespace velumira::test
