// Drawing of the real controls, read back from their own surfaces.
#include <gtest/gtest.h>

#include "drawing_expect.h"
#include "test_form_win.h"

namespace velumira {
namespace {

using test::kFormGrey;
using test::SurfaceReader;
using test::TestForm;

Colour Grey(int v) {
    return Rgb(v, v, v);
}

TEST(FrameWindow, DefaultsOnAGreyFormAndOpacityExtremes) {
    TestForm form;
    GFXFrameX* f = GFXFrameX::create(form.hwnd(), 10, {10, 10, 210, 130});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ambientBackColour(), kFormGrey);
    EXPECT_EQ(f->fillColour(), kFormGrey);
    EXPECT_EQ(f->frameStyle(), 1);
    auto px = SurfaceReader(f->surface());
    test::ExpectSquareShadow(px, 200, 120, 5, kFormGrey,
                             {Grey(124), Grey(148), Grey(172), Grey(196), Grey(220)}, 0, kFormGrey);
    f->setShadowOpacity(100);
    test::ExpectSquareShadow(px, 200, 120, 5, kFormGrey,
                             {Grey(44), Grey(88), Grey(132), Grey(176), Grey(220)}, 0, kFormGrey);
    f->setShadowOpacity(0);
    test::ExpectSquareShadow(px, 200, 120, 5, kFormGrey,
                             {Grey(204), Grey(208), Grey(212), Grey(216), Grey(220)}, 0, kFormGrey);
    f->setShadowOpacity(-5);
    EXPECT_EQ(f->shadowOpacity(), 0);
    f->setShadowDepth(0);
    EXPECT_EQ(f->shadowDepth(), 2);
    f->setCornerDepth(60);
    EXPECT_EQ(f->cornerDepth(), 50);
}

TEST(FrameWindow, StyleTwoLeavesOnlyBackgroundAndNoShadowCoversAll) {
    TestForm form;
    PropertyBag bag{{"FrameStyle", "2"}, {"BorderColour", "0x00FF0000"}};
    GFXFrameX* f = GFXFrameX::create(form.hwnd(), 11, {0, 0, 60, 40}, &bag);
    ASSERT_NE(f, nullptr);
    auto px = SurfaceReader(f->surface());
    test::ExpectOnlyBackground(px, 60, 40, kFormGrey);

    f->setFrameStyle(1);
    f->setShowShadow(false);
    f->setFillColour(Rgb(250, 250, 250));
    EXPECT_EQ(px(59, 20), Rgb(0, 0, 255));
    EXPECT_EQ(px(30, 39), Rgb(0, 0, 255));
    EXPECT_EQ(px(0, 0), Rgb(0, 0, 255));
    EXPECT_EQ(px(58, 38), Rgb(250, 250, 250));

    // The platform's copy of the window shows the same surface.
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(f->surface(), 60, 40);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessageA(f->hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    EXPECT_EQ(GetPixel(mem, 59, 20), COLORREF(Rgb(0, 0, 255)));
    EXPECT_EQ(GetPixel(mem, 30, 20), COLORREF(Rgb(250, 250, 250)));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

TEST(FrameWindow, RoundedStyleWithSmoothedShadowCorners) {
    TestForm form;
    PropertyBag bag{{"FrameStyle", "0"}, {"CornerDepth", "16"}, {"ShadowOpacity", "100"}};
    GFXFrameX* f = GFXFrameX::create(form.hwnd(), 12, {0, 0, 120, 80}, &bag);
    ASSERT_NE(f, nullptr);
    auto px = SurfaceReader(f->surface());
    EXPECT_EQ(px(0, 0), kFormGrey);    // rounded away
    EXPECT_EQ(px(57, 0), Colour(0));   // top border
    EXPECT_EQ(px(57, 74), Colour(0));  // bottom border at H - d - 1
    EXPECT_EQ(px(57, 40), kFormGrey);  // face
    EXPECT_EQ(px(57, 79), Grey(220));  // outermost ring below
    EXPECT_EQ(px(119, 40), Grey(220)); // and to the right
    // Near the rounded bottom-right corner no background pixel is left
    // between the outlines: each gap took its neighbours' average.
    int gaps = 0;
    for (int x = 120 - 32; x <= 117; ++x)
        for (int y = 80 - 32; y <= 77; ++y) {
            // only the band between the frame's and the outer ring's curve
            const double fx = x - (114 - 8.0), fy = y - (74 - 8.0);
            const double ox = x - (119 - 8.0), oy = y - (79 - 8.0);
            if (fx > 0 && fy > 0 && fx * fx + fy * fy > 81 && ox * ox + oy * oy < 36 &&
                px(x, y) == kFormGrey)
                ++gaps;
        }
    EXPECT_EQ(gaps, 0);
}

TEST(FrameWindow, NestedFrameTakesTheOuterFramesBackground) {
    TestForm form;
    GFXFrameX* outer = GFXFrameX::create(form.hwnd(), 1, {0, 0, 200, 150});
    PropertyBag titleBox{{"BackColour", "0x00C0C0C0"}};
    GFXFrameX* inner = GFXFrameX::create(outer->hWnd(), 2, {16, 16, 145, 49}, &titleBox);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->ambientBackColour(), kFormGrey);
    EXPECT_EQ(SurfaceReader(inner->surface())(128, 2), kFormGrey); // BackColourIs 0
    // An explicit container colour wins over the parent's.
    GFXFrameX* given = GFXFrameX::create(outer->hWnd(), 3, {0, 60, 50, 90}, nullptr, Rgb(1, 2, 3));
    EXPECT_EQ(given->fillColour(), Rgb(1, 2, 3));
    DestroyWindow(given->hWnd());

    outer->setBackColour(Rgb(200, 210, 220));
    outer->setBackColourIs(1);
    EXPECT_EQ(inner->ambientBackColour(), Rgb(200, 210, 220));
    EXPECT_EQ(SurfaceReader(inner->surface())(128, 2), Rgb(200, 210, 220));

    PropertyBag saved;
    inner->saveProperties(saved);
    ASSERT_EQ(saved.entries().size(), 2u); // Fill and Back colour differ from the ambient now
    EXPECT_EQ(saved.entries()[0].first, "FillColour");
    EXPECT_EQ(saved.entries()[1].first, "BackColour");
}

// The five looks of an 81 x 25 button, reached through real messages.
TEST(ButtonWindow, FiveStatesDrawnPixelByPixel) {
    TestForm form;
    ccXPButton* b = ccXPButton::create(form.hwnd(), 20, {10, 10, 91, 35});
    ASSERT_NE(b, nullptr);
    b->setFocusRect(false); // drawn over the inner gradient; looked at on its own below
    HWND w = b->hWnd();
    auto px = SurfaceReader(b->surface());
    auto check = [&](int state) {
        ASSERT_EQ(b->state(), state);
        test::ExpectButtonFace(px, 81, 25, state);
    };
    check(1);
    SetFocus(w);
    check(2);
    SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
    check(3);
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    check(4);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    b->setEnabled(false);
    check(0);
}

int CountColour(HDC dc, const RECT& r, Colour c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += GetPixel(dc, x, y) == c;
    return n;
}

TEST(ButtonWindow, CaptionColoursFocusRectangleAndRegion) {
    TestForm form;
    PropertyBag bag{{"Caption", "&Wide"}, {"Font", "Arial;12;700;0;0;0;0"}};
    ccXPButton* b = ccXPButton::create(form.hwnd(), 21, {10, 10, 111, 40}, &bag);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->accessKey(), 'w');
    const RECT text = {4, 4, 97, 26};
    EXPECT_GT(CountColour(b->surface(), text, Rgb(0, 0, 0)), 10);
    b->setForeColor(Rgb(200, 0, 0));
    EXPECT_GT(CountColour(b->surface(), text, Rgb(200, 0, 0)), 10);
    b->setEnabled(false);
    EXPECT_GT(CountColour(b->surface(), text, kDisabledTextColour), 10);
    EXPECT_EQ(CountColour(b->surface(), text, Rgb(200, 0, 0)), 0);
    b->setEnabled(true);

    // The focus rectangle runs along the text rectangle (row 3) only while
    // focused, in a look above normal, and with FocusRect on.
    auto row3Plain = [&] {
        int n = 0;
        for (int x = 3; x < 98; ++x)
            n += GetPixel(b->surface(), x, 3) == kInnerGradientTop;
        return n;
    };
    EXPECT_EQ(row3Plain(), 95);
    SetFocus(b->hWnd());
    EXPECT_LT(row3Plain(), 60);
    b->setFocusRect(false);
    EXPECT_EQ(row3Plain(), 95);
    b->setFocusRect(true);
    b->setEnabled(false);
    EXPECT_EQ(CountColour(b->surface(), {3, 3, 98, 4}, ButtonColoursOf(0).face), 95);

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(b->hWnd(), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 50, 15));
    EXPECT_TRUE(PtInRegion(rgn, 3, 0));
    DeleteObject(rgn);
}

TEST(ButtonWindow, ResizeBelowTheMinimumIsCorrectedAndDrawn) {
    TestForm form;
    ccXPButton* b = ccXPButton::create(form.hwnd(), 22, {10, 10, 90, 35});
    SetWindowPos(b->hWnd(), nullptr, 0, 0, 3, 30, SWP_NOMOVE | SWP_NOZORDER);
    RECT rc;
    GetClientRect(b->hWnd(), &rc);
    EXPECT_EQ(rc.right, kMinButtonSize);
    EXPECT_EQ(rc.bottom, 30);
    EXPECT_EQ(GetPixel(b->surface(), 0, 5), COLORREF(ButtonColoursOf(1).border));
    EXPECT_EQ(GetPixel(b->surface(), 6, 5), COLORREF(ButtonColoursOf(1).border));
}

} // namespace
} // namespace velumira
