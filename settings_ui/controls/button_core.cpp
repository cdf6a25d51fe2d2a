#include "button_core.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace velumira {

namespace {

constexpr Colour kBlue = Rgb(0, 60, 116);
constexpr Colour kCornerA = Rgb(33, 85, 132);
constexpr Colour kCornerB = Rgb(123, 150, 173);
constexpr Colour kCornerC = Rgb(82, 125, 165);

const ButtonColours kColours[5] = {
    // disabled
    {Rgb(201, 199, 186), Rgb(245, 244, 234), 0, 0, 0, 0, 0, 0, Rgb(196, 177, 140),
     Rgb(206, 199, 189), Rgb(196, 177, 140)},
    // normal
    {kBlue, 0, Rgb(252, 252, 251), Rgb(236, 235, 230), Rgb(255, 255, 255), Rgb(254, 254, 254),
     Rgb(226, 223, 214), Rgb(214, 208, 197), kCornerA, kCornerB, kCornerC},
    // focused or default
    {kBlue, 0, Rgb(189, 211, 247), Rgb(140, 174, 231), Rgb(206, 231, 255), Rgb(189, 215, 247),
     Rgb(140, 174, 231), Rgb(107, 130, 239), kCornerA, kCornerB, kCornerC},
    // hot
    {kBlue, 0, Rgb(225, 223, 156), Rgb(255, 182, 48), Rgb(255, 243, 206), Rgb(255, 219, 140),
     Rgb(255, 178, 49), Rgb(230, 150, 0), kCornerA, kCornerB, kCornerC},
    // pressed
    {kBlue, Rgb(231, 227, 222), 0, 0, 0, 0, 0, 0, kCornerA, kCornerB, kCornerC},
};

int gradientChannel(int c1, int c2, int i, int n) {
    float v = float(c2) + float(i * (c1 - c2)) / float(n);
    return int(std::nearbyint(v));
}

} // namespace

const ButtonColours& ButtonColoursOf(int state) {
    return kColours[std::clamp(state, 0, 4)];
}

void DrawGradient(Canvas& c, int left, int top, int right, int bottom, Colour c1, Colour c2) {
    const int n = bottom - top;
    if (n == 0) return;
    for (int i = 0; i <= n; ++i) {
        Colour col = Rgb(gradientChannel(Red(c1), Red(c2), i, n),
                         gradientChannel(Green(c1), Green(c2), i, n),
                         gradientChannel(Blue(c1), Blue(c2), i, n));
        c.line(left, bottom - i, right, bottom - i, col);
    }
}

void DrawButtonFace(Canvas& c, int state, Colour background, int dpi) {
    const int w = c.width(), h = c.height();
    const int u = LineWidth(dpi); // one pixel of the 96 dpi drawing
    const ButtonColours& k = ButtonColoursOf(state);
    c.clear(background);

    // Rows and columns of the 96 dpi drawing, each u pixels thick.
    auto rows = [&](int y, int x1, int x2, Colour col) {
        for (int i = 0; i < u; ++i)
            c.line(x1, y + i, x2, y + i, col);
    };
    auto columns = [&](int x, int y1, int y2, Colour col) {
        for (int i = 0; i < u; ++i)
            c.line(x + i, y1, x + i, y2, col);
    };

    rows(0, 3 * u, w - 3 * u, k.border);
    columns(0, 3 * u, h - 3 * u, k.border);
    rows(h - u, 3 * u, w - 3 * u, k.border);
    columns(w - u, 3 * u, h - 3 * u, k.border);

    if (state >= 1 && state <= 3) {
        DrawGradient(c, u, 3 * u, w - u, h - 2 * u, k.outerTop, k.outerBottom);
        DrawGradient(c, 3 * u, 3 * u, w - 3 * u, h - 3 * u, kInnerGradientTop,
                     kInnerGradientBottom);
        rows(u, u, w, k.line1);
        rows(2 * u, u, w, k.line2);
        rows(h - 3 * u, u, w, k.lineH3);
        rows(h - 2 * u, 2 * u, w - u, k.lineH2);
    } else {
        c.fillRect(u, u, w - u, h - u, k.face);
    }

    // The cut of the top-left corner, in pixels of the 96 dpi drawing from
    // the corner; the other three corners mirror it.
    struct P {
        int x, y;
        Colour col;
    };
    const P cut[] = {{0, 1, k.cornerB},
                     {0, 2, k.cornerA},
                     {1, 0, k.cornerB},
                     {1, 1, k.cornerC},
                     {2, 0, k.cornerA}};
    for (bool bottom : {false, true})
        for (bool right : {false, true})
            for (const P& p : cut) {
                const int x0 = right ? w - (p.x + 1) * u : p.x * u;
                const int y0 = bottom ? h - (p.y + 1) * u : p.y * u;
                for (int y = y0; y < y0 + u; ++y)
                    for (int x = x0; x < x0 + u; ++x)
                        c.setPixel(x, y, p.col);
            }
}

char AccessKeyOf(const std::string& caption) {
    const std::size_t len = caption.size();
    std::size_t start = 0; // zero-based
    // At least two characters must remain: "&" and the key.
    while (start + 1 < len) {
        std::size_t amp = caption.find('&', start);
        if (amp == std::string::npos || amp + 1 >= len) return 0;
        if (caption[amp + 1] == '&') {
            start = amp + 2;
            continue;
        }
        return char(std::tolower(static_cast<unsigned char>(caption[amp + 1])));
    }
    return 0;
}

std::string NewControlCaption(const std::vector<std::string>& siblingCaptions,
                              const std::string& ownName) {
    std::string all = "|";
    for (const auto& s : siblingCaptions)
        all += s + "|";
    for (const char* c : {"&OK", "&Cancel", "&Apply"})
        if (all.find(std::string("|") + c + "|") == std::string::npos) return c;
    return ownName;
}

// ---- hook lists ----------------------------------------------------------

bool HookLists::contains(const std::vector<unsigned>& list, unsigned msg) {
    for (unsigned m : list)
        if (m == msg || m == kAllMessages) return true;
    return false;
}

void HookLists::add(unsigned msg, int when) {
    auto addTo = [msg](std::vector<unsigned>& list) {
        if (std::find(list.begin(), list.end(), msg) == list.end()) list.push_back(msg);
    };
    if (when & kBefore) addTo(before_);
    if (when & kAfter) addTo(after_);
}

bool HookLists::before(unsigned msg) const {
    return contains(before_, msg);
}
bool HookLists::after(unsigned msg) const {
    return contains(after_, msg);
}
void HookLists::clear() {
    before_.clear();
    after_.clear();
}

// ---- state machine ---------------------------------------------------------

void ButtonMachine::draw(ButtonEffects& e, int s) {
    if (f_.drawSuppressed) return;
    f_.state = s;
    e.push_back({ButtonEffect::Draw, s});
}

ButtonEffects ButtonMachine::mouseDown(int button) {
    ButtonEffects e;
    f_.lastButton = button;
    if (button == kLeftButton) {
        f_.isFocused = f_.isPressed = f_.mouseHeld = true;
        drawUnless(e, 4);
    }
    return e;
}

ButtonEffects ButtonMachine::mouseMove(int button, int shift, float x, float y, int width,
                                       int height) {
    ButtonEffects e;
    f_.isOver = x >= 0 && x <= width && y >= 0 && y <= height;
    if (f_.isOver) e.push_back({ButtonEffect::TrackLeave});
    if (f_.parentActive && !f_.spaceHeld) {
        if (f_.isOver && f_.isPressed)
            drawUnless(e, 4);
        else if (f_.isOver)
            drawUnless(e, 3);
        else if (f_.isFocused)
            drawUnless(e, 2);
        else
            drawUnless(e, 1);
        ButtonEffect m{ButtonEffect::MouseMove};
        m.button = button;
        m.shift = shift;
        m.x = x;
        m.y = y;
        e.push_back(m);
    }
    return e;
}

ButtonEffects ButtonMachine::mouseUp(int button) {
    ButtonEffects e;
    if (button != kLeftButton) return e;
    if (f_.parentActive) {
        if (f_.isOver)
            drawUnless(e, 3);
        else if (f_.isFocused)
            draw(e, 2);
        if (f_.isOver && f_.isFocused && f_.isPressed) e.push_back({ButtonEffect::Click});
    }
    f_.isPressed = false;
    f_.mouseHeld = false;
    return e;
}

ButtonEffects ButtonMachine::doubleClick() {
    ButtonEffects e;
    if (f_.lastButton == kLeftButton) {
        draw(e, 4);
        e.push_back({ButtonEffect::DblClick});
    }
    return e;
}

ButtonEffects ButtonMachine::keyDown(int key) {
    ButtonEffects e;
    switch (key) {
    case kKeyEnter:
        e.push_back({ButtonEffect::Click});
        break;
    case kKeySpace:
        if (!f_.mouseHeld) {
            f_.spaceHeld = f_.isPressed = true;
            drawUnless(e, 4);
        }
        break;
    case kKeyLeft:
    case kKeyUp:
        e.push_back({ButtonEffect::FocusPrev});
        break;
    case kKeyRight:
    case kKeyDown:
        e.push_back({ButtonEffect::FocusNext});
        break;
    default:
        break;
    }
    return e;
}

void ButtonMachine::spaceRelease(ButtonEffects& e) {
    if (!f_.isOver)
        draw(e, 2);
    else
        drawUnless(e, 3);
}

ButtonEffects ButtonMachine::keyUp(int key) {
    ButtonEffects e;
    if (key != kKeySpace || f_.mouseHeld) return e;
    spaceRelease(e);
    if (f_.isPressed) e.push_back({ButtonEffect::Click});
    f_.spaceHeld = f_.isPressed = false;
    return e;
}

ButtonEffects ButtonMachine::accessKey() {
    ButtonEffects e;
    if (!f_.enabled) return e;
    if (f_.spaceHeld) {
        f_.spaceHeld = f_.isPressed = false;
        spaceRelease(e);
    } else {
        e.push_back({ButtonEffect::PumpMessages});
        e.push_back({ButtonEffect::Click});
    }
    return e;
}

ButtonEffects ButtonMachine::gotFocus() {
    ButtonEffects e;
    f_.isFocused = true;
    if (f_.isOver) {
        if (f_.state != 3 && f_.state != 4) draw(e, 3);
    } else if (!f_.isPressed) {
        draw(e, 2);
    }
    return e;
}

ButtonEffects ButtonMachine::lostFocus() {
    ButtonEffects e;
    f_.isFocused = f_.isPressed = f_.spaceHeld = false;
    if (f_.enabled) {
        if (!f_.parentActive)
            drawUnless(e, 1);
        else if (f_.isOver)
            drawUnless(e, 3);
        else if (f_.isDefault)
            draw(e, 2);
        else
            drawUnless(e, 1);
    }
    return e;
}

ButtonEffects ButtonMachine::ambientChanged(const std::string& name, bool displayAsDefault) {
    ButtonEffects e;
    f_.isDefault = displayAsDefault;
    if (f_.enabled && !f_.isOver && name == "DisplayAsDefault") {
        if (f_.isDefault)
            draw(e, 2);
        else
            drawUnless(e, 1);
    }
    return e;
}

ButtonEffects ButtonMachine::mouseLeave() {
    ButtonEffects e;
    f_.isOver = false;
    if (f_.spaceHeld || f_.state == 0) return e;
    if (!f_.isFocused && !f_.isDefault)
        drawUnless(e, 1);
    else if (f_.state == 4)
        draw(e, f_.isPressed ? 2 : 1);
    else if (f_.state != 2 && f_.parentActive)
        draw(e, 2);
    return e;
}

ButtonEffects ButtonMachine::parentActivation(bool active) {
    ButtonEffects e;
    if (active) {
        f_.parentActive = true;
        if (f_.enabled) {
            if (!f_.isOver) {
                if (f_.isFocused || f_.isDefault) draw(e, 2);
            } else {
                drawUnless(e, 3);
            }
        }
    } else {
        f_.parentActive = f_.isPressed = f_.mouseHeld = f_.spaceHeld = false;
        if (f_.enabled) drawUnless(e, 1);
    }
    e.push_back({ButtonEffect::FormActivate, active ? 1 : 0});
    return e;
}

ButtonEffects ButtonMachine::resize(int width, int height, int minimum) {
    ButtonEffects e;
    if (width < minimum || height < minimum) {
        // The corrected size arrives as a resize of its own and is drawn then.
        ButtonEffect r{ButtonEffect::Resize};
        r.x = float(std::max(width, minimum));
        r.y = float(std::max(height, minimum));
        e.push_back(r);
        return e;
    }
    draw(e, f_.state);
    return e;
}

ButtonEffects ButtonMachine::setEnabled(bool on) {
    ButtonEffects e;
    f_.enabled = on;
    e.push_back({ButtonEffect::EnableWindow, on ? 1 : 0});
    f_.drawSuppressed = false;
    if (f_.isOver && on)
        draw(e, 3);
    else if (f_.isDefault && on)
        draw(e, 2);
    else
        drawUnless(e, on ? 1 : 0);
    return e;
}

ButtonEffects ButtonMachine::redrawCurrent() {
    ButtonEffects e;
    draw(e, f_.state);
    return e;
}

ButtonEffects ButtonMachine::focusRectChanged() {
    ButtonEffects e;
    if (f_.isFocused) draw(e, f_.state);
    return e;
}

ButtonEffects ButtonMachine::loaded() {
    f_.drawSuppressed = false;
    return redrawCurrent();
}

} // namespace velumira
