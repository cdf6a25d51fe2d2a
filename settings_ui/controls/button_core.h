// ccXPButton's colours, drawing rules and state machine, platform-free.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "dpi_scale.h"

namespace velumira {

// ---- colours and drawing -------------------------------------------------

struct ButtonColours {
    Colour border;
    Colour face;     // solid face of states 0 and 4
    Colour outerTop; // outer gradient of states 1..3
    Colour outerBottom;
    Colour line1; // rows y = 1, 2, h-3, h-2 of states 1..3
    Colour line2;
    Colour lineH3;
    Colour lineH2;
    Colour cornerA;
    Colour cornerB;
    Colour cornerC;
};

// Indexed by the visual state 0..4 (disabled, normal, focused/default, hot,
// pressed).
const ButtonColours& ButtonColoursOf(int state);
constexpr Colour kInnerGradientTop = Rgb(252, 252, 251);
constexpr Colour kInnerGradientBottom = Rgb(236, 235, 230);
constexpr Colour kDisabledTextColour = Rgb(161, 161, 146);

// Rows bottom..top inclusive, from c2 at the bottom to c1 at the top; a
// zero-height rectangle draws nothing.
void DrawGradient(Canvas& c, int left, int top, int right, int bottom, Colour c1, Colour c2);

// Clears the surface to `background` and draws border, face, bands and corner
// pixels of `state` over the whole surface (the caption and the focus
// rectangle are drawn by the window). Above 96 dpi each pixel of the border,
// bands and corner cuts becomes LineWidth(dpi) pixels.
void DrawButtonFace(Canvas& c, int state, Colour background, int dpi = kBaseDpi);

// The caption's access key in lower case, or 0. "&&" shows one ampersand and
// is no key; a caption of "&" and one character has that character as key.
char AccessKeyOf(const std::string& caption);

// Caption of a freshly placed button: "&OK", "&Cancel" or "&Apply", the first
// that no sibling button uses yet, else `ownName`.
std::string NewControlCaption(const std::vector<std::string>& siblingCaptions,
                              const std::string& ownName);

// Persisted defaults.
constexpr char kDefaultCaption[] = "&OK";
// Smallest width and height: 100 twips, 7 pixels at 96 dpi.
constexpr int kMinButtonTwips = 100;
constexpr int kMinButtonSize = TwipsToPixels(kMinButtonTwips, kBaseDpi);

// ---- window-procedure hook lists -----------------------------------------

// Which messages of one hooked window go to the control before and after the
// window's own procedure.
class HookLists {
  public:
    static constexpr unsigned kAllMessages = 0xFFFFFFFFu;
    enum When { kAfter = 1, kBefore = 2, kBoth = 3 };
    // Adds `msg` (or kAllMessages) to the lists named by `when`, each once.
    void add(unsigned msg, int when);
    bool before(unsigned msg) const;
    bool after(unsigned msg) const;
    void clear();

  private:
    static bool contains(const std::vector<unsigned>& list, unsigned msg);
    std::vector<unsigned> before_, after_;
};

// ---- state machine ---------------------------------------------------------

enum MouseButtons { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum Keys {
    kKeyEnter = 13,
    kKeySpace = 32,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40
};

struct ButtonFlags {
    int state = 0;
    bool drawSuppressed = true;
    bool isFocused = false;
    bool isOver = false;
    bool isPressed = false;
    bool mouseHeld = false;
    bool spaceHeld = false;
    bool parentActive = false;
    bool isDefault = false;
    bool enabled = true;
    int lastButton = 0;
};

// What the window has to do, in order, after a message.
struct ButtonEffect {
    enum Kind {
        Draw, // redraw in `value` (already recorded as the state)
        Click,
        DblClick,
        MouseMove,    // button, shift, x, y
        FormActivate, // value
        FocusPrev,    // move the focus back (Shift+Tab)
        FocusNext,    // move the focus on (Tab)
        TrackLeave,   // ask for one mouse-leave notification
        PumpMessages, // process pending window messages
        EnableWindow, // value 0/1
        Resize,       // to width x, height y (pixels)
    };
    Kind kind;
    int value = 0;
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
};
using ButtonEffects = std::vector<ButtonEffect>;

class ButtonMachine {
  public:
    const ButtonFlags& flags() const { return f_; }
    ButtonFlags& flags() { return f_; }

    // Mouse messages carry the surface size so "over" can be judged.
    ButtonEffects mouseDown(int button);
    ButtonEffects mouseMove(int button, int shift, float x, float y, int width, int height);
    ButtonEffects mouseUp(int button);
    ButtonEffects doubleClick();
    ButtonEffects keyDown(int key);
    ButtonEffects keyUp(int key);
    ButtonEffects accessKey();
    ButtonEffects gotFocus();
    ButtonEffects lostFocus();
    ButtonEffects ambientChanged(const std::string& name, bool displayAsDefault);
    ButtonEffects mouseLeave();
    ButtonEffects parentActivation(bool active);
    // Sizes below `minimum` (kMinButtonTwips at the window's DPI) are corrected.
    ButtonEffects resize(int width, int height, int minimum = kMinButtonSize);

    // Property procedures.
    ButtonEffects setEnabled(bool on);
    ButtonEffects redrawCurrent(); // Caption, ForeColor, Font changes
    ButtonEffects focusRectChanged();
    // End of property loading: drawing allowed again, redraw.
    ButtonEffects loaded();

  private:
    void draw(ButtonEffects& e, int s);
    void drawUnless(ButtonEffects& e, int s) {
        if (f_.state != s) draw(e, s);
    }
    void spaceRelease(ButtonEffects& e);
    ButtonFlags f_;
};

} // namespace velumira
