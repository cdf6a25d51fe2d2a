// ccXPButton as a child window: messages are turned into state-machine
// inputs, and the machine's effects into drawing, events and focus moves.
// The caption and the font's name are UTF-8, and the window is a Unicode one,
// so its text is what it draws whatever the ANSI code page.
#include "controls_internal_win.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <cmath>
#include <vector>

#include "accessible_win.h"
#include "button_core.h"
#include "contrast_win.h"
#include "dpi_win.h"
#include "surface_win.h"
#include "texts/texts_win.h"
#include "window_base_win.h"

namespace velumira {

namespace {

HFONT CreateFontFrom(const FontDesc& f, int dpi) {
    LOGFONTW lf = {};
    lf.lfHeight = -LONG(FontHeightPixels(f.size, dpi));
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfStrikeOut = f.strikethrough;
    lf.lfCharSet = BYTE(f.charset);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(lf.lfFaceName, Wide(f.name.c_str()).c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

FontDesc FontFromHandle(HFONT font, const FontDesc& fallback, int dpi) {
    LOGFONTW lf = {};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return fallback;
    FontDesc f;
    f.name = Utf8(lf.lfFaceName);
    LONG h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    f.size = h ? float(h * 72.0 / dpi) : fallback.size;
    f.weight = lf.lfWeight ? int(lf.lfWeight) : 400;
    f.italic = lf.lfItalic != 0;
    f.underline = lf.lfUnderline != 0;
    f.strikethrough = lf.lfStrikeOut != 0;
    f.charset = lf.lfCharSet;
    return f;
}

const FontDesc kDefaultFont{};

// The button in the user's high-contrast colours: a flat face in a border
// (the window's region cuts the corners), twice as wide for the focused or
// default look, in the highlight colour under the mouse; a press fills the
// face with the highlight.
void DrawContrastFace(Canvas& c, int state, int dpi) {
    const int w = c.width(), h = c.height(), u = LineWidth(dpi);
    const Colour face = GetSysColor(COLOR_BTNFACE);
    Colour border = GetSysColor(COLOR_BTNTEXT), fill = face;
    if (state == XPS_DISABLED)
        border = GetSysColor(COLOR_GRAYTEXT);
    else if (state == XPS_HOT)
        border = GetSysColor(COLOR_HIGHLIGHT);
    else if (state == XPS_PRESSED)
        border = fill = GetSysColor(COLOR_HIGHLIGHT);
    const int thick = state == XPS_DEFAULT || state == XPS_HOT ? 2 * u : u;
    c.fillRect(0, 0, w, h, border);
    c.fillRect(thick, thick, w - thick, h - thick, fill);
}

COLORREF ContrastTextColour(int state) {
    if (state == XPS_DISABLED) return GetSysColor(COLOR_GRAYTEXT);
    return GetSysColor(state == XPS_PRESSED ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
}

} // namespace

struct ccXPButton::Impl : BaseWindow<ccXPButton::Impl> {
    ccXPButton facade;
    ButtonMachine machine;
    GdiSurface surface;
    std::string caption;
    char accessKey = 0;
    FontDesc font = kDefaultFont;
    HFONT hfont = nullptr;
    Colour foreColor = 0;
    bool focusRect = true;
    HWND parentHwnd = nullptr;
    int dpi = kBaseDpi;
    int regionW = -1, regionH = -1;
    bool settingText = false;
    std::wstring accessibleName; // empty: the caption

    struct Hook {
        HWND wnd;
        HookLists lists;
    };
    std::vector<Hook> hooks;

    Impl() {
        facade.impl_ = this;
        hfont = CreateFontFrom(font, dpi);
    }
    ~Impl() {
        if (hfont) DeleteObject(hfont);
    }

    int id() const { return int(GetDlgCtrlID(hwnd_)); }

    // ---- drawing ------------------------------------------------------

    void redraw(int state) {
        RECT rc;
        GetClientRect(hwnd_, &rc);
        const int w = rc.right, h = rc.bottom, u = LineWidth(dpi);
        surface.resize(w, h);
        const bool contrast = HighContrastOn();
        if (contrast)
            DrawContrastFace(surface, state, dpi);
        else
            DrawButtonFace(surface, state, GetSysColor(COLOR_BTNFACE), dpi);

        if (w != regionW || h != regionH) {
            HRGN rgn = CreateRoundRectRgn(0, 0, w + 1, h + 1, 3 * u, 3 * u);
            if (rgn && SetWindowRgn(hwnd_, rgn, TRUE)) {
                regionW = w;
                regionH = h;
            } else if (rgn) {
                DeleteObject(rgn);
            }
        }

        HDC dc = surface.dc();
        RECT text = {3 * u, 3 * u, w - 3 * u, h - 3 * u};
        const COLORREF textColour = contrast                  ? ContrastTextColour(state)
                                    : machine.flags().enabled ? foreColor
                                                              : kDisabledTextColour;
        SetTextColor(dc, textColour);
        SetBkMode(dc, TRANSPARENT);
        HGDIOBJ oldFont = hfont ? SelectObject(dc, hfont) : nullptr;
        DrawTextW(dc, Wide(caption.c_str()).c_str(), -1, &text,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        if (oldFont) SelectObject(dc, oldFont);

        if (machine.flags().isFocused && focusRect && state > 1) {
            if (contrast) {
                DrawFocusDots(dc, text, dpi, textColour);
            } else {
                SetTextColor(dc, RGB(0, 0, 0));
                DrawFocusRectForDpi(dc, text, dpi);
            }
        }
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    // ---- effects -------------------------------------------------------

    void notifyCommand(WORD code) {
        HWND target = GetParent(hwnd_);
        if (target)
            SendMessageA(target, WM_COMMAND, MAKEWPARAM(id(), code),
                         reinterpret_cast<LPARAM>(hwnd_));
    }

    template <class N> void notify(N& n, UINT code) {
        n.hdr.hwndFrom = hwnd_;
        n.hdr.idFrom = UINT_PTR(id());
        n.hdr.code = code;
        HWND target = GetParent(hwnd_);
        if (target) SendMessageA(target, WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
    }

    void moveFocus(bool back) {
        HWND form = parentHwnd ? parentHwnd : FormOf(hwnd_);
        HWND next = form ? GetNextDlgTabItem(form, hwnd_, back) : nullptr;
        if (next && next != hwnd_) SetFocus(next);
    }

    static void pumpMessages() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    // Runs the effects in order; stops when an event handler destroyed the
    // window.
    void run(const ButtonEffects& effects) {
        Busy busy(this);
        for (const ButtonEffect& e : effects) {
            if (!alive()) return;
            switch (e.kind) {
            case ButtonEffect::Draw:
                redraw(e.value);
                break;
            case ButtonEffect::Click:
                notifyCommand(XPBN_CLICK);
                break;
            case ButtonEffect::DblClick:
                notifyCommand(XPBN_DBLCLK);
                break;
            case ButtonEffect::MouseMove: {
                NMXPMOUSEMOVE n = {};
                n.button = short(e.button);
                n.shift = short(e.shift);
                n.x = e.x;
                n.y = e.y;
                notify(n, XPBN_MOUSEMOVE);
                break;
            }
            case ButtonEffect::FormActivate: {
                NMXPFORMACTIVATE n = {};
                n.state = e.value;
                notify(n, XPBN_FORMACTIVATE);
                break;
            }
            case ButtonEffect::FocusPrev:
                moveFocus(true);
                break;
            case ButtonEffect::FocusNext:
                moveFocus(false);
                break;
            case ButtonEffect::TrackLeave: {
                TRACKMOUSEEVENT t = {};
                t.cbSize = sizeof t;
                t.dwFlags = TME_LEAVE;
                t.hwndTrack = hwnd_;
                TrackMouseEvent(&t);
                break;
            }
            case ButtonEffect::PumpMessages:
                pumpMessages();
                break;
            case ButtonEffect::EnableWindow:
                EnableWindow(hwnd_, e.value != 0);
                break;
            case ButtonEffect::Resize:
                SetWindowPos(hwnd_, nullptr, 0, 0, int(e.x), int(e.y),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                break;
            }
        }
    }

    // ---- hooks ---------------------------------------------------------

    static LRESULT CALLBACK HookProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR ref) {
        Impl* self = reinterpret_cast<Impl*>(ref);
        const Hook* hook = self->findHook(wnd);
        if (!hook) return DefSubclassProc(wnd, msg, wp, lp);
        const bool before = hook->lists.before(msg), after = hook->lists.after(msg);
        bool handled = false;
        LRESULT result = 0;
        if (before) self->zSubclass_Proc(true, handled, result, wnd, msg, wp, lp);
        if (!handled) result = DefSubclassProc(wnd, msg, wp, lp);
        if (after) self->zSubclass_Proc(false, handled, result, wnd, msg, wp, lp);
        return result;
    }

    const Hook* findHook(HWND wnd) const {
        for (const Hook& h : hooks)
            if (h.wnd == wnd) return &h;
        return nullptr;
    }

    void hook(HWND wnd, unsigned msg, int when) {
        if (!wnd) return;
        for (Hook& h : hooks)
            if (h.wnd == wnd) {
                h.lists.add(msg, when);
                return;
            }
        if (!SetWindowSubclass(wnd, HookProc, reinterpret_cast<UINT_PTR>(this),
                               reinterpret_cast<DWORD_PTR>(this)))
            return;
        hooks.push_back({wnd, {}});
        hooks.back().lists.add(msg, when);
    }

    void unhookAll() {
        for (const Hook& h : hooks)
            RemoveWindowSubclass(h.wnd, HookProc, reinterpret_cast<UINT_PTR>(this));
        hooks.clear();
    }

    void zSubclass_Proc(bool before, bool& /*handled*/, LRESULT& /*result*/, HWND wnd, UINT msg,
                        WPARAM wp, LPARAM) {
        if (before) return;
        if (wnd == hwnd_ && msg == WM_MOUSELEAVE) {
            run(machine.mouseLeave());
        } else if (wnd == parentHwnd && (msg == WM_ACTIVATE || msg == WM_NCACTIVATE)) {
            bool active = msg == WM_ACTIVATE ? LOWORD(wp) != WA_INACTIVE : wp != 0;
            run(machine.parentActivation(active));
        }
    }

    // ---- properties ----------------------------------------------------

    void applyCaption(const std::string& text) {
        caption = text;
        accessKey = AccessKeyOf(text);
        run(machine.redrawCurrent());
    }

    void setCaption(const std::string& text) {
        settingText = true;
        DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text.c_str()).c_str()));
        settingText = false;
        applyCaption(text);
    }

    void setFont(const FontDesc& f) {
        HFONT created = CreateFontFrom(f, dpi);
        if (created) {
            if (hfont) DeleteObject(hfont);
            hfont = created;
        }
        font = f;
        run(machine.redrawCurrent());
    }

    void setForeColor(Colour c) {
        foreColor = c;
        run(machine.redrawCurrent());
    }

    void setFocusRect(bool on) {
        focusRect = on;
        run(machine.focusRectChanged());
    }

    void setEnabled(bool on) { run(machine.setEnabled(on)); }

    void setDpi(int value) {
        if (value <= 0 || value == dpi) return;
        dpi = value;
        regionW = regionH = -1; // the corner cut of the region scales too
        setFont(font);
    }

    void loadProperties(const PropertyBag& bag) {
        parentHwnd = FormOf(hwnd_);
        setCaption(bag.readString("Caption", kDefaultCaption));
        setForeColor(bag.readColour("ForeColor", 0));
        setFont(bag.readFont("Font", font));
        setFocusRect(bag.readBool("FocusRect", true));
        setEnabled(bag.readBool("Enabled", true));

        hook(hwnd_, WM_MOUSELEAVE, HookLists::kAfter);
        const bool mdiChild =
            parentHwnd && (GetWindowLongPtrA(parentHwnd, GWL_EXSTYLE) & WS_EX_MDICHILD);
        hook(parentHwnd, mdiChild ? WM_NCACTIVATE : WM_ACTIVATE, HookLists::kAfter);
        // A form that is already active sends no activation message until the
        // user switches away and back; start from its present state instead.
        if (parentHwnd && GetActiveWindow() == GetAncestor(parentHwnd, GA_ROOT))
            machine.flags().parentActive = true;

        run(machine.loaded());
    }

    void saveProperties(PropertyBag& bag) const {
        bag.writeString("Caption", caption, kDefaultCaption);
        bag.writeBool("Enabled", machine.flags().enabled, true);
        bag.writeColour("ForeColor", foreColor, 0);
        bag.writeFont("Font", font);
        bag.writeBool("FocusRect", focusRect, true);
    }

    std::string newControlCaption() const {
        std::vector<std::string> captions;
        int count = 1;
        HWND parent = GetParent(hwnd_);
        for (HWND c = parent ? GetWindow(parent, GW_CHILD) : nullptr; c;
             c = GetWindow(c, GW_HWNDNEXT)) {
            if (c == hwnd_ || !IsWindowOfClass(c, kXPButtonClassName)) continue;
            ++count;
            if (ccXPButton* b = ccXPButton::fromHwnd(c)) captions.push_back(b->caption());
        }
        return NewControlCaption(captions, std::string(kXPButtonClassName) + std::to_string(count));
    }

    // ---- screen readers --------------------------------------------------

    static AccessibleTraits accessibleTraits() {
        AccessibleTraits t;
        t.role = ROLE_SYSTEM_PUSHBUTTON;
        t.defaultAction = Wide(UserTexts().actionPress);
        return t;
    }

    LRESULT answerGetObject(WPARAM wp, LPARAM lp) {
        static const AccessibleTraits base = accessibleTraits();
        AccessibleTraits t = base;
        HWND wnd = hwnd_;
        t.name = [wnd] {
            ccXPButton* b = ccXPButton::fromHwnd(wnd);
            if (b && !b->impl_->accessibleName.empty()) return b->impl_->accessibleName;
            return WithoutAccessKeyMarks(WindowTextOf(wnd));
        };
        t.state = [wnd] {
            ccXPButton* b = ccXPButton::fromHwnd(wnd);
            if (!b) return 0L;
            const ButtonFlags& f = b->impl_->machine.flags();
            return (f.state == XPS_PRESSED ? STATE_SYSTEM_PRESSED : 0L) |
                   (f.isDefault ? STATE_SYSTEM_DEFAULT : 0L) |
                   (f.isOver ? STATE_SYSTEM_HOTTRACKED : 0L);
        };
        return AnswerGetObject(hwnd_, wp, lp, t);
    }

    // ---- messages ------------------------------------------------------

    static int shiftState(WPARAM wp) {
        int s = 0;
        if (wp & MK_SHIFT) s |= 1;
        if (wp & MK_CONTROL) s |= 2;
        if (GetKeyState(VK_MENU) < 0) s |= 4;
        return s;
    }
    static int buttonState(WPARAM wp) {
        int b = 0;
        if (wp & MK_LBUTTON) b |= kLeftButton;
        if (wp & MK_RBUTTON) b |= kRightButton;
        if (wp & MK_MBUTTON) b |= kMiddleButton;
        return b;
    }

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        LRESULT painted;
        if (surface.answerPaint(hwnd_, msg, wp, painted)) return painted;
        switch (msg) {
        case WM_CREATE:
            DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            return 0;
        case WM_SIZE: {
            surface.resize(LOWORD(lp), HIWORD(lp));
            run(machine.resize(LOWORD(lp), HIWORD(lp), TwipsToPixels(kMinButtonTwips, dpi)));
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (GetFocus() != hwnd_) SetFocus(hwnd_);
            SetCapture(hwnd_);
            run(machine.mouseDown(kLeftButton));
            return 0;
        case WM_RBUTTONDOWN:
            run(machine.mouseDown(kRightButton));
            return 0;
        case WM_MBUTTONDOWN:
            run(machine.mouseDown(kMiddleButton));
            return 0;
        case WM_MOUSEMOVE: {
            RECT rc;
            GetClientRect(hwnd_, &rc);
            run(machine.mouseMove(buttonState(wp), shiftState(wp), float(GET_X_LPARAM(lp)),
                                  float(GET_Y_LPARAM(lp)), rc.right, rc.bottom));
            return 0;
        }
        case WM_LBUTTONUP:
            if (GetCapture() == hwnd_) ReleaseCapture();
            run(machine.mouseUp(kLeftButton));
            return 0;
        case WM_RBUTTONUP:
            run(machine.mouseUp(kRightButton));
            return 0;
        case WM_MBUTTONUP:
            run(machine.mouseUp(kMiddleButton));
            return 0;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            run(machine.doubleClick());
            return 0;
        case WM_KEYDOWN:
            run(machine.keyDown(int(wp)));
            return 0;
        case WM_KEYUP:
            run(machine.keyUp(int(wp)));
            return 0;
        case WM_SETFOCUS:
            run(machine.gotFocus());
            if (alive()) NotifyAccessible(EVENT_OBJECT_FOCUS, hwnd_);
            return 0;
        case WM_KILLFOCUS:
            run(machine.lostFocus());
            return 0;
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_BUTTON | DLGC_WANTARROWS |
                           (machine.flags().isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
            const MSG* m = reinterpret_cast<const MSG*>(lp);
            if (m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case BM_CLICK:
        case kAccessibleDoDefault:
            run(machine.accessKey());
            return 0;
        case WM_GETOBJECT:
            return answerGetObject(wp, lp);
        case WM_SYSCOLORCHANGE:
            run(machine.redrawCurrent());
            return 0;
        case BM_SETSTYLE:
            run(machine.ambientChanged("DisplayAsDefault", (wp & 0x0F) == BS_DEFPUSHBUTTON));
            return 0;
        case WM_ENABLE:
            if ((wp != 0) != machine.flags().enabled) setEnabled(wp != 0);
            return 0;
        case WM_SETTEXT: {
            LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
            if (!settingText) applyCaption(lp ? Utf8(reinterpret_cast<const wchar_t*>(lp)) : "");
            return r;
        }
        case WM_SETFONT:
            setFont(FontFromHandle(reinterpret_cast<HFONT>(wp), font, dpi));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(hfont);
        case WM_DESTROY:
            if (GetCapture() == hwnd_) ReleaseCapture();
            unhookAll();
            return 0;
        default:
            return DefWindowProcW(hwnd_, msg, wp, lp);
        }
    }
};

LRESULT CALLBACK ButtonWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return ccXPButton::Impl::WindowProc(wnd, msg, wp, lp);
}

ccXPButton* ccXPButton::create(HWND parent, int id, const RECT& pixels, const PropertyBag* saved) {
    HINSTANCE inst = ControlsInstance();
    auto* impl = new Impl;
    impl->dpi = WindowDpi(parent);
    bool seen = false;
    impl->ncCreateSeen_ = &seen;
    HWND wnd =
        CreateWindowExA(0, kXPButtonClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, pixels.left,
                        pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, impl);
    if (!wnd) {
        if (!seen) delete impl;
        return nullptr;
    }
    impl->ncCreateSeen_ = nullptr;
    if (saved) {
        impl->loadProperties(*saved);
    } else {
        PropertyBag fresh;
        fresh.writeString("Caption", impl->newControlCaption(), kDefaultCaption);
        impl->loadProperties(fresh);
    }
    return &impl->facade;
}

ccXPButton* ccXPButton::fromHwnd(HWND wnd) {
    if (!IsWindowOfClass(wnd, kXPButtonClassName)) return nullptr;
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    return impl ? &impl->facade : nullptr;
}

HWND ccXPButton::hWnd() const {
    return impl_->hwnd();
}
std::string ccXPButton::caption() const {
    return impl_->caption;
}
void ccXPButton::setCaption(const std::string& text) {
    impl_->setCaption(text);
}
bool ccXPButton::enabled() const {
    return impl_->machine.flags().enabled;
}
void ccXPButton::setEnabled(bool on) {
    impl_->setEnabled(on);
}
FontDesc ccXPButton::font() const {
    return impl_->font;
}
void ccXPButton::setFont(const FontDesc& font) {
    impl_->setFont(font);
}
Colour ccXPButton::foreColor() const {
    return impl_->foreColor;
}
void ccXPButton::setForeColor(Colour colour) {
    impl_->setForeColor(colour);
}
bool ccXPButton::focusRect() const {
    return impl_->focusRect;
}
void ccXPButton::setFocusRect(bool on) {
    impl_->setFocusRect(on);
}

void ccXPButton::setAccessibleName(const std::wstring& name) {
    impl_->accessibleName = name;
}

void ccXPButton::snapMouseTo() {
    HWND wnd = impl_->hwnd();
    RECT rc;
    POINT p = {0, 0};
    if (!GetClientRect(wnd, &rc) || !ClientToScreen(wnd, &p)) return;
    SetCursorPos(p.x + int(std::nearbyint(rc.right / 2.0)),
                 p.y + int(std::nearbyint(rc.bottom / 2.0)));
}

int ccXPButton::dpi() const {
    return impl_->dpi;
}
void ccXPButton::setDpi(int dpi) {
    impl_->setDpi(dpi);
}

void ccXPButton::setDisplayAsDefault(bool on) {
    impl_->run(impl_->machine.ambientChanged("DisplayAsDefault", on));
}
bool ccXPButton::displayAsDefault() const {
    return impl_->machine.flags().isDefault;
}
void ccXPButton::loadProperties(const PropertyBag& bag) {
    impl_->loadProperties(bag);
}
void ccXPButton::saveProperties(PropertyBag& bag) const {
    impl_->saveProperties(bag);
}
int ccXPButton::state() const {
    return impl_->machine.flags().state;
}
char ccXPButton::accessKey() const {
    return impl_->accessKey;
}
HDC ccXPButton::surface() const {
    return impl_->surface.dc();
}

} // namespace velumira
