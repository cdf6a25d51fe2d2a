// The settings dialog's two custom controls, ccXPButton (an XP-look push
// button) and GFXFrameX (a container frame with a soft drop shadow), as child
// windows.
//
// Usage:
//   velumira::RegisterControlClasses(hInstance);            // once
//   velumira::PropertyBag bag{{"Caption", "&Save"}};         // stored properties
//   auto* b = velumira::ccXPButton::create(parent, ID_SAVE, {x, y, x + w, y + h}, &bag);
//   auto* f = velumira::GFXFrameX::create(parent, ID_FRAME, rect, nullptr); // new-control defaults
//
// Each object belongs to its window and is deleted when the window is
// destroyed; keep the pointer only as long as the window lives, or look it up
// again with fromHwnd().
//
// Events reach the control's parent window:
//   WM_COMMAND, LOWORD(wParam) = control ID, lParam = control window, and
//     HIWORD(wParam) = XPBN_CLICK (Click) or XPBN_DBLCLK (DblClick).
//   WM_NOTIFY with lParam pointing at an NMXPMOUSEMOVE (code XPBN_MOUSEMOVE) or
//     an NMXPFORMACTIVATE (code XPBN_FORMACTIVATE).
// A GFXFrameX passes WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR* and WM_DRAWITEM from
// its children on to its own parent, so controls placed on a frame report to
// the dialog like controls placed on it directly.
//
// With the platform's dialog manager (IsDialogMessage) the button behaves as
// a push button: its window text is the caption, so Alt plus the access key
// reaches it as BM_CLICK (the access-key press); BM_SETSTYLE with
// BS_DEFPUSHBUTTON sets the default-button look; Enter, Space and the arrow
// keys go to the button itself, the arrows moving the focus through the form's
// tab order (frames are WS_EX_CONTROLPARENT, so their controls take part).
//
// Screen readers: the button answers as a push button named by its caption
// (or setAccessibleName), the frame as a group; both draw with the system
// colours alone while high contrast is on (contrast_win.h) and redraw on
// WM_SYSCOLORCHANGE, which their form passes on to them.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "property_bag.h"

namespace velumira {

constexpr char kXPButtonClassName[] = "ccXPButton";
constexpr char kFrameClassName[] = "GFXFrameX";

// Registers both window classes for the given module instance. Safe to call
// more than once. create() registers them for the program itself if needed.
bool RegisterControlClasses(HINSTANCE instance);

// Notification codes (HIWORD of WM_COMMAND's wParam for the first two, the
// NMHDR code of WM_NOTIFY for the others).
constexpr WORD XPBN_CLICK = BN_CLICKED;        // 0
constexpr WORD XPBN_DBLCLK = BN_DOUBLECLICKED; // 5
constexpr UINT XPBN_MOUSEMOVE = 0U - 3100U;
constexpr UINT XPBN_FORMACTIVATE = 0U - 3101U;

// MouseMove(Button, Shift, X, Y). Button: 1 left, 2 right, 4 middle (or'ed);
// Shift: 1 Shift, 2 Ctrl, 4 Alt; X, Y in pixels of the button's client area.
struct NMXPMOUSEMOVE {
    NMHDR hdr;
    short button;
    short shift;
    float x;
    float y;
};

// FormActivate(State): 1 = the form holding the button became active,
// 0 = it became inactive.
struct NMXPFORMACTIVATE {
    NMHDR hdr;
    int state;
};

// Visual states of the button.
enum XPButtonState {
    XPS_DISABLED = 0,
    XPS_NORMAL = 1,
    XPS_DEFAULT = 2,
    XPS_HOT = 3,
    XPS_PRESSED = 4
};

class ccXPButton {
  public:
    // Creates the button as a visible child window at `pixels` (client
    // coordinates of `parent`) with control ID `id`. With `saved` the stored
    // properties are loaded from it (absent names take their defaults) and
    // the window hooks are installed; with nullptr it gets the defaults of a
    // freshly placed control (caption "&OK", "&Cancel" or "&Apply",
    // whichever no sibling button uses yet, else "ccXPButton" and a number)
    // and is loaded from those. Returns nullptr on failure.
    static ccXPButton* create(HWND parent, int id, const RECT& pixels,
                              const PropertyBag* saved = nullptr);
    // The button of a ccXPButton window, or nullptr.
    static ccXPButton* fromHwnd(HWND wnd);

    HWND hWnd() const;

    // UTF-8, as are the font's name and the stored properties' texts.
    std::string caption() const;
    void setCaption(const std::string& text);
    bool enabled() const;
    void setEnabled(bool on);
    FontDesc font() const;
    void setFont(const FontDesc& font);
    Colour foreColor() const;
    void setForeColor(Colour colour);
    bool focusRect() const;
    void setFocusRect(bool on);

    // What screen readers call the button when its caption does not say
    // what it does (a caption of "..."); empty: the caption.
    void setAccessibleName(const std::wstring& name);

    // Moves the mouse pointer to the centre of the button.
    void snapMouseTo();

    // The DPI the button draws at: its parent's when it is created. Border,
    // bands, corner cuts, caption font and focus rectangle scale with it.
    int dpi() const;
    void setDpi(int dpi);

    // The container's "DisplayAsDefault" ambient property. The platform's
    // dialog manager drives it too (BM_SETSTYLE with BS_DEFPUSHBUTTON).
    void setDisplayAsDefault(bool on);
    bool displayAsDefault() const;

    // Property persistence by name: Caption, Enabled, ForeColor, Font,
    // FocusRect.
    void loadProperties(const PropertyBag& bag);
    void saveProperties(PropertyBag& bag) const;

    // Last drawn visual state (XPButtonState).
    int state() const;
    // The access key of the caption (lower case), or 0.
    char accessKey() const;
    // The control's drawing surface: a memory DC holding the drawn button,
    // the size of the client area.
    HDC surface() const;

    struct Impl;

  private:
    ccXPButton() = default;
    Impl* impl_ = nullptr;
    friend struct Impl;
};

constexpr Colour kAmbientFromParent = 0xFFFFFFFFu;

class GFXFrameX {
  public:
    // Creates the frame as a visible child window at `pixels`. With `saved`
    // the nine properties are loaded from it (absent names take their
    // defaults); with nullptr they take the defaults of a new control.
    // Children are created with the frame's window as parent.
    // `ambientBack` is the container's background colour, which FillColour
    // and BackColour default to; kAmbientFromParent takes it from the parent
    // (a GFXFrameX parent's painted background, else the parent class's
    // background brush, else the 3-D face colour). A dialog that paints its
    // background itself passes its colour here.
    static GFXFrameX* create(HWND parent, int id, const RECT& pixels,
                             const PropertyBag* saved = nullptr,
                             Colour ambientBack = kAmbientFromParent);
    static GFXFrameX* fromHwnd(HWND wnd);

    HWND hWnd() const;

    // Each setter stores the value (clamped where the property has a range)
    // and redraws.
    long frameStyle() const; // 0 rounded, 1 square, other: background only
    void setFrameStyle(long style);
    int shadowOpacity() const; // 0..100
    void setShadowOpacity(int percent);
    bool showShadow() const;
    void setShowShadow(bool on);
    int shadowDepth() const; // 2..50
    void setShadowDepth(int pixels);
    Colour fillColour() const;
    void setFillColour(Colour colour);
    Colour backColour() const;
    void setBackColour(Colour colour);
    long backColourIs() const; // 0: paint the container's colour; other: BackColour
    void setBackColourIs(long value);
    Colour borderColour() const;
    void setBorderColour(Colour colour);
    int cornerDepth() const; // 0..50
    void setCornerDepth(int pixels);

    // Redraws the whole frame.
    void refresh();

    // The DPI the frame draws at: its parent's when it is created. Shadow
    // depth, corner ellipse and border scale with it.
    int dpi() const;
    void setDpi(int dpi);

    // The container's background colour (its "BackColor" ambient property).
    // A change redraws the frame and is passed on to GFXFrameX children; it
    // does not change FillColour or BackColour.
    Colour ambientBackColour() const;
    void setAmbientBackColour(Colour colour);

    // Property persistence by name: FrameStyle, ShadowOpacity, ShowShadow,
    // ShadowDepth, FillColour, BackColour, BackColourIs, BorderColour,
    // CornerDepth.
    void loadProperties(const PropertyBag& bag);
    void saveProperties(PropertyBag& bag) const;

    // The colour the frame's surface is painted with under its face (for
    // transparent children).
    Colour surfaceBackColour() const;
    // Copies the part of the frame's drawing that lies under `child` into
    // `dc` (at the child's client origin): lets transparent children such as
    // labels paint the frame behind them.
    void paintBackground(HWND child, HDC dc) const;
    // The control's drawing surface (memory DC, the size of the client area).
    HDC surface() const;

    // Screen readers hear the frame as a group of this name (none unless
    // set): the caption its container shows on it.
    void setAccessibleName(const std::wstring& name);

    struct Impl;

  private:
    GFXFrameX() = default;
    Impl* impl_ = nullptr;
    friend struct Impl;
};

} // namespace velumira
