#include <gtest/gtest.h>

#include "drawing_expect.h"
#include "frame_core.h"
#include "pixel_canvas.h"

namespace velumira {
namespace {

using test::PixelCanvas;

constexpr Colour kGrey224 = Rgb(224, 224, 224);
Colour Grey(int v) {
    return Rgb(v, v, v);
}

TEST(BlendColour, DividesBeforeMultiplying) {
    // 224 / 100 truncates to 2, times 50.
    EXPECT_EQ(BlendColour(0, kGrey224, 100, 50), Grey(100));
    EXPECT_EQ(BlendColour(0, kGrey224, 100, 0), Grey(0));
    EXPECT_EQ(BlendColour(0, kGrey224, 100, 100), Grey(200));
    // Truncation toward zero for negative differences: (10-255)/100 = -2.
    EXPECT_EQ(BlendColour(Rgb(10, 255, 0), Rgb(255, 10, 0), 100, 100), Rgb(210, 55, 0));
    // Channels stay separate.
    EXPECT_EQ(BlendColour(Rgb(0, 0, 0), Rgb(200, 100, 50), 5, 5), Rgb(200, 100, 50));
}

TEST(FrameProps, AssignmentClampsAndLoadBringsIntoRange) {
    FrameProps p = FrameProps::defaults(kGrey224);
    EXPECT_EQ(p.fillColour, kGrey224);
    EXPECT_EQ(p.backColour, kGrey224);
    p.setShadowOpacity(-5);
    EXPECT_EQ(p.shadowOpacity, 0);
    p.setShadowOpacity(150);
    EXPECT_EQ(p.shadowOpacity, 100);
    p.setShadowDepth(0);
    EXPECT_EQ(p.shadowDepth, 2);
    p.setShadowDepth(45);
    EXPECT_EQ(p.shadowDepth, 45);
    p.setShadowDepth(60);
    EXPECT_EQ(p.shadowDepth, 50);
    p.setCornerDepth(60);
    EXPECT_EQ(p.cornerDepth, 50);
    p.setCornerDepth(-1);
    EXPECT_EQ(p.cornerDepth, 0);

    PropertyBag bag{{"ShadowDepth", "0"}, {"ShadowOpacity", "300"}, {"FrameStyle", "7"}};
    FrameProps loaded;
    loaded.load(bag, Rgb(1, 2, 3));
    EXPECT_EQ(loaded.shadowDepth, 2);
    EXPECT_EQ(loaded.shadowOpacity, 100);
    EXPECT_EQ(loaded.frameStyle, 7);
    EXPECT_EQ(loaded.fillColour, Rgb(1, 2, 3));
    EXPECT_EQ(loaded.cornerDepth, 10);
}

TEST(FrameProps, SavesTheNineNamesInOrderWithoutDefaults) {
    FrameProps p = FrameProps::defaults(kGrey224);
    PropertyBag empty;
    p.save(empty, kGrey224);
    EXPECT_TRUE(empty.empty());

    p.frameStyle = 0;
    p.shadowOpacity = 10;
    p.showShadow = false;
    p.shadowDepth = 3;
    p.fillColour = 1;
    p.backColour = 2;
    p.backColourIs = 1;
    p.borderColour = 3;
    p.cornerDepth = 4;
    PropertyBag bag;
    p.save(bag, kGrey224);
    const char* names[] = {"FrameStyle",   "ShadowOpacity", "ShowShadow",
                           "ShadowDepth",  "FillColour",    "BackColour",
                           "BackColourIs", "BorderColour",  "CornerDepth"};
    ASSERT_EQ(bag.entries().size(), 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(bag.entries()[i].first, names[i]);
    FrameProps back;
    back.load(bag, kGrey224);
    EXPECT_EQ(back.frameStyle, 0);
    EXPECT_FALSE(back.showShadow);
    EXPECT_EQ(back.backColour, 2u);
    EXPECT_EQ(back.cornerDepth, 4);
}

struct FrameCase {
    int opacity;
    std::vector<Colour> rings;
};

TEST(DrawFrame, SquareShadowRingsForSeveralOpacities) {
    const FrameCase cases[] = {
        {50, {Grey(124), Grey(148), Grey(172), Grey(196), Grey(220)}},
        {100, {Grey(44), Grey(88), Grey(132), Grey(176), Grey(220)}},
        {0, {Grey(204), Grey(208), Grey(212), Grey(216), Grey(220)}},
    };
    for (const FrameCase& fc : cases) {
        SCOPED_TRACE("opacity " + std::to_string(fc.opacity));
        PixelCanvas c(100, 60);
        FrameProps p = FrameProps::defaults(kGrey224);
        p.setShadowOpacity(fc.opacity);
        DrawFrame(c, p, kGrey224, 100, 60, 100, 60);
        auto px = [&](int x, int y) { return c.pixel(x, y); };
        test::ExpectSquareShadow(px, 100, 60, 5, kGrey224, fc.rings, 0, kGrey224);
    }
}

TEST(DrawFrame, OwnBackgroundOnlyWhenBackColourIsSet) {
    PixelCanvas c(40, 30);
    FrameProps p = FrameProps::defaults(kGrey224);
    p.backColour = Rgb(192, 192, 192);
    p.frameStyle = 2;
    DrawFrame(c, p, kGrey224, 40, 30, 40, 30);
    test::ExpectOnlyBackground([&](int x, int y) { return c.pixel(x, y); }, 40, 30, kGrey224);
    p.backColourIs = 1;
    DrawFrame(c, p, kGrey224, 40, 30, 40, 30);
    test::ExpectOnlyBackground([&](int x, int y) { return c.pixel(x, y); }, 40, 30,
                               Rgb(192, 192, 192));
}

TEST(DrawFrame, WithoutShadowTheFrameCoversTheControl) {
    PixelCanvas c(40, 30);
    FrameProps p = FrameProps::defaults(kGrey224);
    p.showShadow = false;
    p.fillColour = Rgb(250, 250, 250);
    p.borderColour = Rgb(0, 0, 255);
    DrawFrame(c, p, kGrey224, 40, 30, 40, 30);
    EXPECT_EQ(c.pixel(39, 15), Rgb(0, 0, 255));
    EXPECT_EQ(c.pixel(20, 29), Rgb(0, 0, 255));
    EXPECT_EQ(c.pixel(0, 0), Rgb(0, 0, 255));
    EXPECT_EQ(c.pixel(38, 28), Rgb(250, 250, 250));
}

TEST(DrawFrame, RoundedStyleOutlinesAndFrame) {
    PixelCanvas c(80, 50);
    FrameProps p = FrameProps::defaults(kGrey224);
    p.frameStyle = 0;
    p.cornerDepth = 12;
    DrawFrame(c, p, kGrey224, 80, 50, 80, 50);
    ASSERT_EQ(c.roundRects.size(), 7u); // six shadow outlines, then the frame
    for (int i = 0; i <= 5; ++i) {
        const auto& r = c.roundRects[i];
        EXPECT_EQ(r.left, 10 - i);
        EXPECT_EQ(r.right, 75 + i);
        EXPECT_EQ(r.bottom, 45 + i);
        EXPECT_EQ(r.ew, 12);
        EXPECT_FALSE(r.filled);
        EXPECT_EQ(r.pen, Grey(100 + 24 * i));
    }
    const auto& frame = c.roundRects.back();
    EXPECT_TRUE(frame.filled);
    EXPECT_EQ(frame.right, 75);
    EXPECT_EQ(frame.bottom, 45);

    p.showShadow = false;
    c.roundRects.clear();
    DrawFrame(c, p, kGrey224, 80, 50, 80, 50);
    ASSERT_EQ(c.roundRects.size(), 1u);
    EXPECT_EQ(c.roundRects[0].right, 80);
}

TEST(SmoothShadowCorners, FillsGapsInZoneOrderSeeingEarlierResults) {
    const Colour bg = Grey(200);
    PixelCanvas c(40, 40);
    c.clear(Grey(100));
    // Two background pixels next to each other in the bottom-right zone
    // (x, y from 40 - 2*cd to 37 with cd = 5: 30..37).
    c.setPixel(31, 31, bg);
    c.setPixel(31, 32, bg);
    SmoothShadowCorners(c, bg, 3, 5, 40, 40);
    // (31,31): neighbours 100, 100, 200 (the gap below), 100 -> 125.
    EXPECT_EQ(c.pixel(31, 31), Grey(125));
    // (31,32) sees the new 125 above it: (125 + 300) / 4 = 106.25 -> 106.
    EXPECT_EQ(c.pixel(31, 32), Grey(106));
    // Outside every zone nothing changes.
    c.setPixel(20, 20, bg);
    SmoothShadowCorners(c, bg, 3, 5, 40, 40);
    EXPECT_EQ(c.pixel(20, 20), bg);
}

TEST(SmoothShadowCorners, NeighboursOutsideTheSurfaceCountAsBackground) {
    const Colour bg = Grey(200);
    PixelCanvas c(12, 12);
    c.clear(Grey(0));
    // The top-right zone starts at x = 12 - 2 * 6 = 0, on the left edge.
    c.setPixel(0, 3, bg);
    SmoothShadowCorners(c, bg, 2, 6, 12, 12);
    // above 0, right 0, below 0, left (outside) 200
    EXPECT_EQ(c.pixel(0, 3), Grey(50));
}

TEST(ToPixels, RoundsToWholeTwipsThenToPixelsAtTheDpi) {
    EXPECT_EQ(ToPixels(7035, 96), 469);
    EXPECT_EQ(ToPixels(100, 96), 7);
    EXPECT_EQ(ToPixels(112.4, 96), 7);
    EXPECT_EQ(ToPixels(7035.4, 144), 704);
}

TEST(DrawFrame, ShadowAndBorderScaleWithTheDpi) {
    // At 144 dpi: shadow depth 5 becomes 8 rings, the border two pixels.
    PixelCanvas c(300, 200);
    const FrameProps p = FrameProps::defaults(kGrey224);
    DrawFrame(c, p, kGrey224, 300, 200, 300, 200, 144);
    const int d = 8, midY = 100;
    const Colour shadow = BlendColour(0, kGrey224, 100, 50);
    for (int i = 1; i <= d; ++i) {
        EXPECT_EQ(c.pixel(300 - d - 1 + i, midY), BlendColour(shadow, kGrey224, d, i)) << i;
        EXPECT_EQ(c.pixel(150, 200 - d - 1 + i), BlendColour(shadow, kGrey224, d, i)) << i;
    }
    for (int x : {0, 1, 300 - d - 2, 300 - d - 1})
        EXPECT_EQ(c.pixel(x, midY), 0u) << x;
    EXPECT_EQ(c.pixel(2, midY), kGrey224);
    EXPECT_EQ(c.pixel(300 - d - 3, midY), kGrey224);
    EXPECT_EQ(c.pixel(1, 1), 0u);
    EXPECT_EQ(c.pixel(2, 2), kGrey224);
    EXPECT_EQ(c.pixel(299, d - 1), kGrey224) << "above the outermost ring";
}

} // namespace
} // namespace velumira
