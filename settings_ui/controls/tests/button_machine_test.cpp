#include <gtest/gtest.h>

#include "button_core.h"

namespace velumira {
namespace {

constexpr int W = 80, H = 25;

// Effects written compactly: "d3" draw state 3, "C" click, "D" double-click,
// "M" mouse move, "A1"/"A0" form activate, "<" / ">" focus back / on,
// "T" track leave, "P" pump messages, "E1"/"E0" enable window, "R" resize.
std::string Str(const ButtonEffects& effects) {
    std::string s;
    for (const ButtonEffect& e : effects) {
        if (!s.empty()) s += ' ';
        switch (e.kind) {
        case ButtonEffect::Draw:
            s += "d" + std::to_string(e.value);
            break;
        case ButtonEffect::Click:
            s += "C";
            break;
        case ButtonEffect::DblClick:
            s += "D";
            break;
        case ButtonEffect::MouseMove:
            s += "M";
            break;
        case ButtonEffect::FormActivate:
            s += "A" + std::to_string(e.value);
            break;
        case ButtonEffect::FocusPrev:
            s += "<";
            break;
        case ButtonEffect::FocusNext:
            s += ">";
            break;
        case ButtonEffect::TrackLeave:
            s += "T";
            break;
        case ButtonEffect::PumpMessages:
            s += "P";
            break;
        case ButtonEffect::EnableWindow:
            s += "E" + std::to_string(e.value);
            break;
        case ButtonEffect::Resize:
            s += "R";
            break;
        }
    }
    return s;
}

class ButtonMachineTest : public ::testing::Test {
  protected:
    // A loaded, enabled button on an active form, mouse elsewhere.
    void SetUp() override {
        m.setEnabled(true);
        m.loaded();
        m.parentActivation(true);
    }
    std::string over() { return Str(m.mouseMove(0, 0, 10, 10, W, H)); }
    std::string away() { return Str(m.mouseMove(0, 0, -5, 10, W, H)); }
    std::string heldOver() { return Str(m.mouseMove(kLeftButton, 0, 10, 10, W, H)); }
    std::string heldAway() { return Str(m.mouseMove(kLeftButton, 0, 200, 10, W, H)); }
    int state() const { return m.flags().state; }
    ButtonMachine m;
};

TEST(ButtonMachineStart, DrawingStartsWithEnabledAndDefaultShowsFocusedLook) {
    ButtonMachine m;
    EXPECT_TRUE(m.flags().drawSuppressed);
    EXPECT_EQ(Str(m.redrawCurrent()), ""); // suppressed
    EXPECT_EQ(Str(m.setEnabled(true)), "E1 d1");
    EXPECT_FALSE(m.flags().drawSuppressed);

    ButtonMachine def;
    def.ambientChanged("DisplayAsDefault", true);
    EXPECT_EQ(Str(def.setEnabled(true)), "E1 d2");

    ButtonMachine off;
    EXPECT_EQ(Str(off.setEnabled(false)), "E0"); // already state 0
    EXPECT_EQ(Str(off.loaded()), "d0");
}

TEST(ButtonMachineStart, NothingReactsToTheMouseBeforeTheFormIsActive) {
    ButtonMachine m;
    m.setEnabled(true);
    m.loaded();
    EXPECT_EQ(Str(m.mouseMove(0, 0, 5, 5, W, H)), "T");
    m.gotFocus();
    m.mouseDown(kLeftButton);
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "");
    EXPECT_EQ(Str(m.parentActivation(true)), "d3 A1");
}

TEST_F(ButtonMachineTest, MouseClickOverTheButton) {
    EXPECT_EQ(over(), "T d3 M");
    EXPECT_EQ(over(), "T M");         // unchanged state is not redrawn
    EXPECT_EQ(Str(m.gotFocus()), ""); // hot stays hot
    EXPECT_EQ(Str(m.mouseDown(kLeftButton)), "d4");
    EXPECT_EQ(heldOver(), "T M");
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "d3 C");
    EXPECT_FALSE(m.flags().isPressed);
    EXPECT_FALSE(m.flags().mouseHeld);
}

TEST_F(ButtonMachineTest, DragOffBeforeReleaseGivesNoClickAndTheFocusedLook) {
    over();
    m.gotFocus();
    m.mouseDown(kLeftButton);
    EXPECT_EQ(heldAway(), "d2 M");
    EXPECT_EQ(heldOver(), "T d4 M"); // back over while still pressed
    EXPECT_EQ(heldAway(), "d2 M");
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "d2");
    EXPECT_EQ(state(), 2);
}

TEST_F(ButtonMachineTest, SpaceIgnoredWhileTheMouseIsHeld) {
    over();
    m.gotFocus();
    m.mouseDown(kLeftButton);
    EXPECT_EQ(Str(m.keyDown(kKeySpace)), "");
    EXPECT_FALSE(m.flags().spaceHeld);
    EXPECT_EQ(Str(m.keyUp(kKeySpace)), "");
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "d3 C");
}

TEST_F(ButtonMachineTest, SpacePressAndRelease) {
    m.gotFocus();
    EXPECT_EQ(state(), 2);
    EXPECT_EQ(Str(m.keyDown(kKeySpace)), "d4");
    EXPECT_EQ(Str(m.keyDown(kKeySpace)), ""); // auto-repeat
    // While space is held the mouse neither redraws nor reports.
    EXPECT_EQ(over(), "T");
    EXPECT_EQ(Str(m.keyUp(kKeySpace)), "d3 C");
    EXPECT_FALSE(m.flags().spaceHeld);
    away();
    m.keyDown(kKeySpace);
    EXPECT_EQ(Str(m.keyUp(kKeySpace)), "d2 C");
}

TEST_F(ButtonMachineTest, EnterClicksAtOnceWithoutPressedLook) {
    m.gotFocus();
    EXPECT_EQ(Str(m.keyDown(kKeyEnter)), "C");
    EXPECT_EQ(state(), 2);
}

TEST_F(ButtonMachineTest, ArrowKeysMoveTheFocus) {
    EXPECT_EQ(Str(m.keyDown(kKeyLeft)), "<");
    EXPECT_EQ(Str(m.keyDown(kKeyUp)), "<");
    EXPECT_EQ(Str(m.keyDown(kKeyRight)), ">");
    EXPECT_EQ(Str(m.keyDown(kKeyDown)), ">");
    EXPECT_EQ(Str(m.keyDown('A')), "");
}

TEST_F(ButtonMachineTest, DeactivationCancelsThePress) {
    over();
    m.gotFocus();
    m.mouseDown(kLeftButton);
    EXPECT_EQ(Str(m.parentActivation(false)), "d1 A0");
    EXPECT_FALSE(m.flags().isPressed);
    EXPECT_FALSE(m.flags().mouseHeld);
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "");
    EXPECT_EQ(Str(m.parentActivation(true)), "d3 A1");
}

TEST_F(ButtonMachineTest, ReleaseAfterDoubleClickGivesNoClick) {
    over();
    m.gotFocus();
    m.mouseDown(kLeftButton);
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "d3 C");
    EXPECT_EQ(Str(m.doubleClick()), "d4 D");
    EXPECT_EQ(Str(m.mouseUp(kLeftButton)), "d3");
}

TEST_F(ButtonMachineTest, DoubleClickOfOtherButtonsIsIgnored) {
    over();
    m.mouseDown(kRightButton);
    EXPECT_EQ(m.flags().lastButton, kRightButton);
    EXPECT_FALSE(m.flags().isPressed);
    EXPECT_EQ(Str(m.mouseUp(kRightButton)), "");
    EXPECT_EQ(Str(m.doubleClick()), "");
}

TEST_F(ButtonMachineTest, AccessKey) {
    EXPECT_EQ(Str(m.accessKey()), "P C");
    m.gotFocus();
    m.keyDown(kKeySpace);
    EXPECT_EQ(Str(m.accessKey()), "d2"); // cancels the space press, no click
    EXPECT_EQ(Str(m.keyUp(kKeySpace)), "d2");
    m.setEnabled(false);
    EXPECT_EQ(Str(m.accessKey()), "");
}

TEST_F(ButtonMachineTest, FocusChanges) {
    EXPECT_EQ(Str(m.gotFocus()), "d2");
    EXPECT_EQ(Str(m.lostFocus()), "d1");
    over();
    EXPECT_EQ(Str(m.gotFocus()), "");
    EXPECT_EQ(Str(m.lostFocus()), "");
    away();
    m.ambientChanged("DisplayAsDefault", true);
    m.gotFocus();
    EXPECT_EQ(Str(m.lostFocus()), "d2"); // default look is redrawn
    m.parentActivation(false);
    m.gotFocus();
    EXPECT_EQ(Str(m.lostFocus()), "d1"); // inactive form: normal look
}

TEST_F(ButtonMachineTest, DisplayAsDefault) {
    EXPECT_EQ(Str(m.ambientChanged("DisplayAsDefault", true)), "d2");
    EXPECT_EQ(Str(m.ambientChanged("DisplayAsDefault", false)), "d1");
    EXPECT_EQ(Str(m.ambientChanged("BackColor", true)), "");
    EXPECT_TRUE(m.flags().isDefault); // stored even when not redrawn
    over();
    EXPECT_EQ(Str(m.ambientChanged("DisplayAsDefault", false)), "");
}

TEST_F(ButtonMachineTest, MouseLeave) {
    over();
    EXPECT_EQ(Str(m.mouseLeave()), "d1");
    EXPECT_FALSE(m.flags().isOver);
    // Focused and pressed: back to the focused look; not pressed: normal.
    over();
    m.gotFocus();
    m.mouseDown(kLeftButton);
    EXPECT_EQ(Str(m.mouseLeave()), "d2");
    m.mouseUp(kLeftButton);
    over();
    m.doubleClick();
    EXPECT_EQ(Str(m.mouseLeave()), "d1");
    // Focused and hot: the focused look.
    over();
    EXPECT_EQ(state(), 3);
    EXPECT_EQ(Str(m.mouseLeave()), "d2");
    EXPECT_EQ(Str(m.mouseLeave()), "");
    // Disabled or space held: nothing.
    m.keyDown(kKeySpace);
    EXPECT_EQ(Str(m.mouseLeave()), "");
}

TEST_F(ButtonMachineTest, DisabledButtonIgnoresActivationLooks) {
    m.setEnabled(false);
    EXPECT_EQ(state(), 0);
    EXPECT_EQ(Str(m.parentActivation(false)), "A0");
    EXPECT_EQ(Str(m.parentActivation(true)), "A1");
    EXPECT_EQ(Str(m.mouseLeave()), "");
    EXPECT_EQ(Str(m.setEnabled(true)), "E1 d1");
}

TEST_F(ButtonMachineTest, ResizeKeepsTheMinimumAndRedraws) {
    ButtonEffects e = m.resize(3, 40);
    ASSERT_EQ(Str(e), "R");
    EXPECT_EQ(e[0].x, float(kMinButtonSize));
    EXPECT_EQ(e[0].y, 40.f);
    EXPECT_EQ(Str(m.resize(50, 20)), "d1");
}

} // namespace
} // namespace velumira
