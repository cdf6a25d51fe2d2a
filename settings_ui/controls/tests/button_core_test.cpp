#include <gtest/gtest.h>

#include "button_core.h"
#include "drawing_expect.h"
#include "pixel_canvas.h"

namespace velumira {
namespace {

using test::PixelCanvas;

TEST(AccessKeyOf, AmpersandRules) {
    EXPECT_EQ(AccessKeyOf("&OK"), 'o');
    EXPECT_EQ(AccessKeyOf("&&Save"), 0);
    EXPECT_EQ(AccessKeyOf("A&&B&c"), 'c');
    EXPECT_EQ(AccessKeyOf("Save&"), 0);
    EXPECT_EQ(AccessKeyOf(""), 0);
    EXPECT_EQ(AccessKeyOf("Plain"), 0);
    EXPECT_EQ(AccessKeyOf("E&xit"), 'x');
    // Short captions and a key right after an escaped ampersand.
    EXPECT_EQ(AccessKeyOf("&x"), 'x');
    EXPECT_EQ(AccessKeyOf("&"), 0);
    EXPECT_EQ(AccessKeyOf("&&"), 0);
    EXPECT_EQ(AccessKeyOf("ab&&&c"), 'c');
}

TEST(NewControlCaption, FirstUnusedOfOkCancelApply) {
    EXPECT_EQ(NewControlCaption({}, "ccXPButton1"), "&OK");
    EXPECT_EQ(NewControlCaption({"&OK"}, "ccXPButton2"), "&Cancel");
    EXPECT_EQ(NewControlCaption({"&Cancel", "&OK"}, "b"), "&Apply");
    EXPECT_EQ(NewControlCaption({"&OK", "&Apply", "&Cancel"}, "ccXPButton4"), "ccXPButton4");
    // Whole captions only: "&OKAY" does not use up "&OK".
    EXPECT_EQ(NewControlCaption({"&OKAY"}, "b"), "&OK");
}

TEST(DrawGradient, TopRowFirstColourBottomRowSecond) {
    PixelCanvas c(10, 10);
    c.clear(0);
    DrawGradient(c, 1, 2, 9, 6, Rgb(250, 0, 10), Rgb(10, 0, 250));
    EXPECT_EQ(c.pixel(1, 2), Rgb(250, 0, 10));
    EXPECT_EQ(c.pixel(8, 6), Rgb(10, 0, 250));
    EXPECT_EQ(c.pixel(5, 4), Rgb(130, 0, 130));
    EXPECT_EQ(c.pixel(5, 5), Rgb(70, 0, 190));
    EXPECT_EQ(c.pixel(9, 4), 0u); // right end excluded
    EXPECT_EQ(c.pixel(5, 1), 0u);
    EXPECT_EQ(c.pixel(5, 7), 0u);
}

TEST(DrawGradient, ZeroHeightDrawsNothing) {
    PixelCanvas c(10, 10);
    c.clear(Rgb(1, 2, 3));
    DrawGradient(c, 0, 4, 10, 4, Rgb(255, 255, 255), 0);
    test::ExpectOnlyBackground([&](int x, int y) { return c.pixel(x, y); }, 10, 10, Rgb(1, 2, 3));
}

TEST(DrawButtonFace, EveryStateAtTwoSizes) {
    for (auto [w, h] : {std::pair{81, 25}, std::pair{29, 21}}) {
        for (int state = 0; state <= 4; ++state) {
            PixelCanvas c(w, h);
            DrawButtonFace(c, state, Rgb(9, 9, 9));
            test::ExpectButtonFace([&](int x, int y) { return c.pixel(x, y); }, w, h, state);
            // Outside the border, in the clipped corners, the clear colour.
            EXPECT_EQ(c.pixel(0, 0), Rgb(9, 9, 9));
            EXPECT_EQ(c.pixel(w - 1, h - 1), Rgb(9, 9, 9));
        }
    }
}

TEST(DrawButtonFace, TooFlatForTheInnerGradientStillDrawsTheRest) {
    // Height 6: the inner gradient runs from row 3 to row 3 and draws nothing.
    PixelCanvas c(20, 6);
    DrawButtonFace(c, 1, 0);
    const ButtonColours& k = ButtonColoursOf(1);
    EXPECT_EQ(c.pixel(10, 0), k.border);
    EXPECT_EQ(c.pixel(10, 5), k.border);
    EXPECT_EQ(c.pixel(10, 1), k.line1);
    EXPECT_EQ(c.pixel(10, 2), k.line2);
    EXPECT_EQ(c.pixel(10, 3), k.lineH3);
    EXPECT_EQ(c.pixel(10, 4), k.lineH2);
    EXPECT_EQ(c.pixel(0, 3), k.cornerA);
}

TEST(DrawButtonFace, AtTwiceTheDpiEveryPixelOfTheEdgesIsTwoByTwo) {
    // The border, bands, corner cuts and solid faces of a 162 x 50 button at
    // 192 dpi are those of an 81 x 25 button at 96, each pixel doubled; only
    // the gradients between the bands have rows of their own.
    for (int state = 0; state <= 4; ++state) {
        SCOPED_TRACE("state " + std::to_string(state));
        PixelCanvas small(81, 25), big(162, 50);
        DrawButtonFace(small, state, Rgb(9, 9, 9));
        DrawButtonFace(big, state, Rgb(9, 9, 9), 192);
        const bool gradient = state >= 1 && state <= 3;
        int wrong = 0;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 81; ++x) {
                if (gradient && y >= 3 && y <= 21 && x >= 1 && x <= 79) continue;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        wrong += big.pixel(2 * x + dx, 2 * y + dy) != small.pixel(x, y);
            }
        EXPECT_EQ(wrong, 0);
        if (gradient) {
            EXPECT_EQ(big.pixel(2, 6), ButtonColoursOf(state).outerTop);
            EXPECT_EQ(big.pixel(6, 6), kInnerGradientTop);
        }
    }
}

TEST(HookLists, BeforeAfterBothAndAll) {
    HookLists l;
    l.add(0x2A3, HookLists::kAfter);
    l.add(0x06, HookLists::kBoth);
    l.add(0x06, HookLists::kAfter); // added once
    EXPECT_TRUE(l.after(0x2A3));
    EXPECT_FALSE(l.before(0x2A3));
    EXPECT_TRUE(l.before(0x06));
    EXPECT_TRUE(l.after(0x06));
    EXPECT_FALSE(l.after(0x07));
    l.add(HookLists::kAllMessages, HookLists::kBefore);
    EXPECT_TRUE(l.before(0x1234));
    EXPECT_FALSE(l.after(0x1234));
    l.clear();
    EXPECT_FALSE(l.before(0x06));
}

} // namespace
} // namespace velumira
