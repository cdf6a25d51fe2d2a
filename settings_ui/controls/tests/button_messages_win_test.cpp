// The button driven by real window messages, its events as the form sees
// them, and its properties by name.
#include <gtest/gtest.h>

#include "button_core.h"
#include "test_form_win.h"

namespace velumira {
namespace {

using test::TestForm;

class ButtonMessages : public ::testing::Test {
  protected:
    void SetUp() override {
        b = ccXPButton::create(form.hwnd(), 7, {20, 20, 100, 45});
        ASSERT_NE(b, nullptr);
        w = b->hWnd();
        form.events.clear();
    }
    void send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { SendMessageA(w, msg, wp, lp); }
    void moveTo(int x, int y, WPARAM keys = 0) { send(WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
    void leftDown() { send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }
    void leftUp(int x = 10) { send(WM_LBUTTONUP, 0, MAKELPARAM(x, 10)); }
    TestForm form;
    ccXPButton* b = nullptr;
    HWND w = nullptr;
};

TEST_F(ButtonMessages, ClickOverTheButtonReachesTheForm) {
    moveTo(10, 10);
    leftDown();
    EXPECT_EQ(GetFocus(), w);
    EXPECT_EQ(GetCapture(), w);
    EXPECT_EQ(b->state(), XPS_PRESSED);
    leftUp();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form.count("click"), 1);
    EXPECT_EQ(b->state(), XPS_HOT);
    ASSERT_GE(form.count("move"), 1);
    EXPECT_EQ(form.events.front().what, "move");
    EXPECT_EQ(form.events.front().x, 10.f);
    EXPECT_EQ(form.events.front().id, 7);
}

TEST_F(ButtonMessages, DragOffBeforeReleaseGivesNoClick) {
    moveTo(10, 10);
    leftDown();
    moveTo(300, 10, MK_LBUTTON); // captured: still reported, outside
    leftUp(300);
    EXPECT_EQ(form.count("click"), 0);
    EXPECT_EQ(b->state(), XPS_DEFAULT);
}

TEST_F(ButtonMessages, SpaceIgnoredWhileMouseHeldEnterClicksAtOnce) {
    moveTo(10, 10);
    leftDown();
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(form.count("click"), 0);
    EXPECT_EQ(b->state(), XPS_PRESSED);
    leftUp();
    EXPECT_EQ(form.count("click"), 1);

    send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(form.count("click"), 2);
    EXPECT_EQ(b->state(), XPS_HOT);

    send(WM_MOUSELEAVE);
    EXPECT_EQ(b->state(), XPS_DEFAULT);
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_EQ(b->state(), XPS_PRESSED);
    send(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(form.count("click"), 3);
    EXPECT_EQ(b->state(), XPS_DEFAULT);
}

TEST_F(ButtonMessages, DeactivatingTheFormCancelsThePress) {
    moveTo(10, 10);
    leftDown();
    SendMessageA(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(b->state(), XPS_NORMAL);
    leftUp();
    EXPECT_EQ(form.count("click"), 0);
    ASSERT_EQ(form.count("activate"), 1);
    SendMessageA(form.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(form.count("activate"), 2);
    EXPECT_EQ(form.events.back().value, 1);
}

TEST_F(ButtonMessages, ReleaseAfterDoubleClickGivesNoClick) {
    moveTo(10, 10);
    leftDown();
    leftUp();
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(b->state(), XPS_PRESSED);
    leftUp();
    EXPECT_EQ(form.count("click"), 1);
    EXPECT_EQ(form.count("dblclk"), 1);
}

TEST_F(ButtonMessages, ArrowKeysMoveTheFocusAlongTheTabOrder) {
    ccXPButton* second = ccXPButton::create(form.hwnd(), 8, {120, 20, 200, 45});
    ccXPButton* third = ccXPButton::create(form.hwnd(), 9, {220, 20, 300, 45});
    SetFocus(w);
    send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(GetFocus(), second->hWnd());
    SendMessageA(second->hWnd(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(GetFocus(), third->hWnd());
    SendMessageA(third->hWnd(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(GetFocus(), second->hWnd());
    SendMessageA(second->hWnd(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(GetFocus(), w);
    EXPECT_EQ(b->state(), XPS_DEFAULT);
    EXPECT_EQ(second->state(), XPS_NORMAL);
}

TEST_F(ButtonMessages, AccessKeyClicksThroughTheDialogManager) {
    EXPECT_EQ(b->caption(), "&OK");
    EXPECT_EQ(b->accessKey(), 'o');
    send(BM_CLICK);
    EXPECT_EQ(form.count("click"), 1);
    // Alt+O as the dialog manager sees it.
    MSG msg = {form.hwnd(), WM_SYSCHAR, 'o', 0x20000000, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(form.hwnd(), &msg));
    EXPECT_EQ(form.count("click"), 2);
    b->setEnabled(false);
    send(BM_CLICK);
    EXPECT_EQ(form.count("click"), 2);
}

TEST_F(ButtonMessages, EveryButtonHooksTheFormAndTheChainSurvivesRemoval) {
    ccXPButton* second = ccXPButton::create(form.hwnd(), 8, {120, 20, 200, 45});
    ccXPButton* third = ccXPButton::create(form.hwnd(), 9, {220, 20, 300, 45});
    form.events.clear();
    SendMessageA(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(form.count("activate"), 3);
    DestroyWindow(second->hWnd());
    form.events.clear();
    SendMessageA(form.hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(form.count("activate"), 2);
    EXPECT_EQ(third->state(), XPS_NORMAL);
    SetFocus(third->hWnd());
    EXPECT_EQ(third->state(), XPS_DEFAULT);
}

TEST_F(ButtonMessages, ClickHandlerMayCloseTheForm) {
    form.destroyOnClickOf = 7;
    moveTo(10, 10);
    leftDown();
    leftUp();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(form.count("click"), 1);
}

TEST_F(ButtonMessages, DefaultButtonDisplay) {
    send(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(b->displayAsDefault());
    EXPECT_EQ(b->state(), XPS_DEFAULT);
    EXPECT_EQ(SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
    b->setDisplayAsDefault(false);
    EXPECT_EQ(b->state(), XPS_NORMAL);
}

TEST_F(ButtonMessages, SnapMouseToTheCentre) {
    b->snapMouseTo();
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    POINT origin = {0, 0};
    ClientToScreen(w, &origin);
    EXPECT_EQ(p.x, origin.x + 40);
    EXPECT_EQ(p.y, origin.y + 12); // 12.5 rounds to even
}

TEST(ButtonProperties, NewControlCaptionsAndNamedPersistence) {
    TestForm form;
    std::vector<std::string> captions;
    for (int i = 0; i < 4; ++i)
        captions.push_back(
            ccXPButton::create(form.hwnd(), 30 + i, {10, 10 + 30 * i, 90, 35 + 30 * i})->caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"&OK", "&Cancel", "&Apply", "ccXPButton4"}));

    PropertyBag bag{{"Caption", "&Save"},
                    {"Enabled", "False"},
                    {"ForeColor", "0x000000FF"},
                    {"FocusRect", "False"},
                    {"Font", "Arial;10;700;0;0;0;0"}};
    ccXPButton* b = ccXPButton::create(form.hwnd(), 40, {100, 10, 180, 35}, &bag);
    EXPECT_EQ(b->caption(), "&Save");
    EXPECT_FALSE(b->enabled());
    EXPECT_FALSE(IsWindowEnabled(b->hWnd()));
    EXPECT_EQ(b->state(), XPS_DISABLED);
    EXPECT_EQ(b->foreColor(), 0xFFu);
    EXPECT_FALSE(b->focusRect());
    EXPECT_EQ(b->font().name, "Arial");
    char text[32] = {};
    GetWindowTextA(b->hWnd(), text, sizeof text);
    EXPECT_STREQ(text, "&Save");

    PropertyBag saved;
    b->saveProperties(saved);
    std::vector<std::string> names;
    for (const auto& e : saved.entries())
        names.push_back(e.first);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Caption", "Enabled", "ForeColor", "Font", "FocusRect"}));

    ccXPButton* plain = ccXPButton::create(form.hwnd(), 41, {100, 40, 180, 65}, &saved);
    PropertyBag again;
    plain->saveProperties(again);
    EXPECT_EQ(again.entries(), saved.entries());
    // Defaults are not written, except the font.
    PropertyBag defaults;
    ccXPButton::create(form.hwnd(), 42, {100, 70, 180, 95}, &defaults)->saveProperties(defaults);
    ASSERT_EQ(defaults.entries().size(), 1u);
    EXPECT_EQ(defaults.entries()[0].first, "Font");
}

TEST(FrameForwarding, ButtonOnAFrameReportsToTheForm) {
    TestForm form;
    GFXFrameX* frame = GFXFrameX::create(form.hwnd(), 1, {10, 10, 300, 200});
    ccXPButton* b = ccXPButton::create(frame->hWnd(), 5, {20, 20, 100, 45});
    form.events.clear();
    SendMessageA(b->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(form.count("click"), 1);
    // The frame's form is the top-level window: its activation reaches the
    // button.
    SendMessageA(form.hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(form.count("activate"), 1);
    EXPECT_EQ(GetNextDlgTabItem(form.hwnd(), nullptr, FALSE), b->hWnd());
}

} // namespace
} // namespace velumira
