// GFXFrameX as a child window that holds other controls.
#include "accessible_win.h"
#include "contrast_win.h"
#include "controls_internal_win.h"
#include "dpi_win.h"
#include "frame_core.h"
#include "surface_win.h"
#include "window_base_win.h"

#include <oleacc.h>

namespace velumira {

namespace {

// The background colour of a window class's brush, when it has one.
bool ClassBackground(HWND wnd, Colour& out) {
    ULONG_PTR brush = GetClassLongPtrA(wnd, GCLP_HBRBACKGROUND);
    if (!brush) return false;
    if (brush <= COLOR_MENUBAR + 1) { // a system colour index plus one
        out = GetSysColor(int(brush) - 1);
        return true;
    }
    LOGBRUSH lb = {};
    if (GetObjectA(reinterpret_cast<HGDIOBJ>(brush), sizeof lb, &lb) && lb.lbStyle == BS_SOLID) {
        out = lb.lbColor;
        return true;
    }
    return false;
}

Colour ContainerBackground(HWND parent) {
    if (GFXFrameX* f = GFXFrameX::fromHwnd(parent)) return f->surfaceBackColour();
    Colour c = 0;
    if (parent && ClassBackground(parent, c)) return c;
    return GetSysColor(COLOR_BTNFACE);
}

} // namespace

struct GFXFrameX::Impl : BaseWindow<GFXFrameX::Impl> {
    GFXFrameX facade;
    FrameProps props;
    Colour ambient = 0;
    int dpi = kBaseDpi;
    GdiSurface surface;
    std::wstring accessibleName;

    Impl() { facade.impl_ = this; }

    Colour background() const { return FrameBackground(props, ambient); }

    void refresh() {
        if (!alive()) return;
        RECT rc;
        GetClientRect(hwnd_, &rc);
        surface.resize(rc.right, rc.bottom);
        if (HighContrastOn()) {
            // In the user's colours and without the shadow, the frame where
            // it stands with one.
            FrameProps plain = props;
            const Colour face = GetSysColor(COLOR_BTNFACE);
            plain.showShadow = false;
            plain.fillColour = face;
            plain.backColourIs = 0;
            plain.borderColour = GetSysColor(COLOR_BTNTEXT);
            const int d = props.showShadow ? ScalePixels(props.shadowDepth, dpi) : 0;
            DrawFrame(surface, plain, face, rc.right - d, rc.bottom - d, rc.right, rc.bottom, dpi);
        } else {
            DrawFrame(surface, props, ambient, rc.right, rc.bottom, rc.right, rc.bottom, dpi);
        }
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        // Frames placed on this one take its background as their container's.
        const Colour bg = background();
        for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (GFXFrameX* f = GFXFrameX::fromHwnd(c))
                if (f->ambientBackColour() != bg) f->setAmbientBackColour(bg);
    }

    void loadProperties(const PropertyBag& bag) {
        props.load(bag, ambient);
        refresh();
    }

    static bool forwarded(UINT msg) {
        switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
        }
    }

    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        if (forwarded(msg)) {
            HWND parent = GetParent(hwnd_);
            LRESULT r = parent ? SendMessageA(parent, msg, wp, lp) : 0;
            if (r == 0 && msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
                return DefWindowProcA(hwnd_, msg, wp, lp);
            return r;
        }
        LRESULT painted;
        if (surface.answerPaint(hwnd_, msg, wp, painted)) return painted;
        switch (msg) {
        case WM_SIZE:
        case WM_SYSCOLORCHANGE:
            refresh();
            return 0;
        case WM_GETOBJECT: {
            AccessibleTraits t;
            t.role = ROLE_SYSTEM_GROUPING;
            HWND wnd = hwnd_;
            t.name = [wnd] {
                GFXFrameX* f = GFXFrameX::fromHwnd(wnd);
                return f ? f->impl_->accessibleName : std::wstring();
            };
            return AnswerGetObject(hwnd_, wp, lp, t);
        }
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
        }
    }
};

LRESULT CALLBACK FrameWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return GFXFrameX::Impl::WindowProc(wnd, msg, wp, lp);
}

GFXFrameX* GFXFrameX::create(HWND parent, int id, const RECT& pixels, const PropertyBag* saved,
                             Colour ambientBack) {
    HINSTANCE inst = ControlsInstance();
    auto* impl = new Impl;
    impl->ambient = ambientBack == kAmbientFromParent ? ContainerBackground(parent) : ambientBack;
    impl->props = FrameProps::defaults(impl->ambient);
    impl->dpi = WindowDpi(parent);
    bool seen = false;
    impl->ncCreateSeen_ = &seen;
    // WS_EX_CONTROLPARENT lets Tab and the dialog manager reach the controls
    // placed on the frame.
    HWND wnd =
        CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClassName, "",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, pixels.left,
                        pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, impl);
    if (!wnd) {
        if (!seen) delete impl;
        return nullptr;
    }
    impl->ncCreateSeen_ = nullptr;
    if (saved)
        impl->loadProperties(*saved);
    else
        impl->refresh();
    return &impl->facade;
}

GFXFrameX* GFXFrameX::fromHwnd(HWND wnd) {
    if (!IsWindowOfClass(wnd, kFrameClassName)) return nullptr;
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    return impl ? &impl->facade : nullptr;
}

HWND GFXFrameX::hWnd() const {
    return impl_->hwnd();
}

long GFXFrameX::frameStyle() const {
    return impl_->props.frameStyle;
}
void GFXFrameX::setFrameStyle(long style) {
    impl_->props.frameStyle = style;
    refresh();
}
int GFXFrameX::shadowOpacity() const {
    return impl_->props.shadowOpacity;
}
void GFXFrameX::setShadowOpacity(int percent) {
    impl_->props.setShadowOpacity(percent);
    refresh();
}
bool GFXFrameX::showShadow() const {
    return impl_->props.showShadow;
}
void GFXFrameX::setShowShadow(bool on) {
    impl_->props.showShadow = on;
    refresh();
}
int GFXFrameX::shadowDepth() const {
    return impl_->props.shadowDepth;
}
void GFXFrameX::setShadowDepth(int pixels) {
    impl_->props.setShadowDepth(pixels);
    refresh();
}
Colour GFXFrameX::fillColour() const {
    return impl_->props.fillColour;
}
void GFXFrameX::setFillColour(Colour colour) {
    impl_->props.fillColour = colour;
    refresh();
}
Colour GFXFrameX::backColour() const {
    return impl_->props.backColour;
}
void GFXFrameX::setBackColour(Colour colour) {
    impl_->props.backColour = colour;
    refresh();
}
long GFXFrameX::backColourIs() const {
    return impl_->props.backColourIs;
}
void GFXFrameX::setBackColourIs(long value) {
    impl_->props.backColourIs = value;
    refresh();
}
Colour GFXFrameX::borderColour() const {
    return impl_->props.borderColour;
}
void GFXFrameX::setBorderColour(Colour colour) {
    impl_->props.borderColour = colour;
    refresh();
}
int GFXFrameX::cornerDepth() const {
    return impl_->props.cornerDepth;
}
void GFXFrameX::setCornerDepth(int pixels) {
    impl_->props.setCornerDepth(pixels);
    refresh();
}

void GFXFrameX::refresh() {
    impl_->refresh();
}

int GFXFrameX::dpi() const {
    return impl_->dpi;
}
void GFXFrameX::setDpi(int dpi) {
    if (dpi <= 0 || dpi == impl_->dpi) return;
    impl_->dpi = dpi;
    refresh();
}

Colour GFXFrameX::ambientBackColour() const {
    return impl_->ambient;
}
void GFXFrameX::setAmbientBackColour(Colour colour) {
    impl_->ambient = colour;
    refresh();
}

void GFXFrameX::loadProperties(const PropertyBag& bag) {
    impl_->loadProperties(bag);
}
void GFXFrameX::saveProperties(PropertyBag& bag) const {
    impl_->props.save(bag, impl_->ambient);
}

Colour GFXFrameX::surfaceBackColour() const {
    return impl_->background();
}

void GFXFrameX::paintBackground(HWND child, HDC dc) const {
    RECT r;
    if (!GetWindowRect(child, &r)) return;
    MapWindowPoints(nullptr, impl_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, impl_->surface.dc(), r.left, r.top,
           SRCCOPY);
}

void GFXFrameX::setAccessibleName(const std::wstring& name) {
    impl_->accessibleName = name;
}

HDC GFXFrameX::surface() const {
    return impl_->surface.dc();
}

} // namespace velumira
