#include "form_widgets_win.h"

#include "accessible_win.h"
#include "contrast_win.h"
#include "controls.h"
#include "dpi_scale.h"
#include "dpi_win.h"
#include "texts/texts_win.h"
#include "window_base_win.h"

#include <oleacc.h>

#include <string>

namespace velumira {
namespace {

constexpr char kLabelClass[] = "VelumiraLabel";
constexpr char kImageClass[] = "VelumiraImage";

struct Label : BaseWindow<Label> {
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);

    bool opaque = false;
    UINT alignment = DT_LEFT;
    Colour foreColour = 0; // as stored: system colours are looked up when drawn
    Colour backColour = 0;
    bool handCursor = false;
    long role = ROLE_SYSTEM_STATICTEXT; // what screen readers are told it is
    bool checked = false;               // an option that is chosen
    bool pressed = false;               // left button went down here and is not yet released
    bool focused = false;
    HFONT font = nullptr;
    int dpi = kBaseDpi;
};

struct Image : BaseWindow<Image> {
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);

    const Picture* picture = nullptr; // as drawn at 96 dpi
    int dpi = kBaseDpi;
    Picture scaled; // `picture` at `dpi`, made when first painted there
    const Picture* scaledFrom = nullptr;
    int scaledFor = 0;

    const Picture* shown();
    void paintContrastMark(HDC dc);
};

// Paints what lies behind a transparent child: the frame's drawing when the
// parent is a GFXFrameX, else the parent's background brush.
void PaintParentBackground(HWND wnd, HDC dc) {
    HWND parent = GetParent(wnd);
    if (const GFXFrameX* frame = GFXFrameX::fromHwnd(parent)) {
        frame->paintBackground(wnd, dc);
        return;
    }
    RECT rc;
    GetClientRect(wnd, &rc);
    if (HighContrastOn()) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(parent, GCLP_HBRBACKGROUND));
    if (!brush)
        brush = GetSysColorBrush(COLOR_BTNFACE);
    else if (reinterpret_cast<UINT_PTR>(brush) <= COLOR_MENUHILIGHT + 1)
        brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(brush) - 1));
    FillRect(dc, &rc, brush);
}

template <class W> W* WidgetOf(HWND wnd, const char* cls) {
    char name[32];
    if (!GetClassNameA(wnd, name, sizeof name) || lstrcmpA(name, cls) != 0) return nullptr;
    return reinterpret_cast<W*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

void NotifyParent(HWND wnd, WORD code) {
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(wnd)), code),
                 reinterpret_cast<LPARAM>(wnd));
}

// Mouse presses shared by labels and images: any button reports a press.
bool HandleMouseDown(HWND wnd, UINT msg) {
    if (msg != WM_LBUTTONDOWN && msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN) return false;
    NotifyParent(wnd, kWidgetMouseDown);
    return true;
}

void PaintLabel(HWND wnd, HDC dc, const Label& d) {
    RECT rc;
    GetClientRect(wnd, &rc);
    const bool contrast = HighContrastOn();
    COLORREF fore = ResolveColour(d.foreColour), back = ResolveColour(d.backColour);
    if (contrast) {
        back = GetSysColor(COLOR_WINDOW);
        fore = GetSysColor(d.opaque                     ? COLOR_WINDOWTEXT
                           : d.role == ROLE_SYSTEM_LINK ? COLOR_HOTLIGHT
                                                        : COLOR_BTNTEXT);
    }
    if (d.opaque) {
        HBRUSH brush = CreateSolidBrush(back);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
    } else {
        PaintParentBackground(wnd, dc);
    }
    wchar_t text[1024];
    const int n = GetWindowTextW(wnd, text, 1024);
    HGDIOBJ oldFont = SelectObject(dc, d.font ? d.font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore);
    // Paths may hold '&', so nothing is taken as an access key. A box two
    // lines tall wraps long paths; a one-line label never wraps, so a font a
    // little wider than the one it was laid out for cuts only the last pixels.
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const UINT lines = rc.bottom >= 2 * tm.tmHeight ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE;
    DrawTextW(dc, text, n, &rc, d.alignment | DT_TOP | DT_NOPREFIX | lines);
    if (d.focused) {
        // Round the text's own extent, kept inside the label.
        RECT extent = rc;
        DrawTextW(dc, text, n, &extent, DT_CALCRECT | DT_NOPREFIX | lines);
        const int width = extent.right - extent.left + LineWidth(d.dpi);
        RECT focus = rc;
        if (width < rc.right - rc.left) {
            if (d.alignment == DT_CENTER) {
                focus.left = rc.left + (rc.right - rc.left - width) / 2;
                focus.right = focus.left + width;
            } else if (d.alignment == DT_RIGHT) {
                focus.left = rc.right - width;
            } else {
                focus.right = rc.left + width;
            }
        }
        if (contrast) {
            DrawFocusDots(dc, focus, d.dpi, fore);
        } else {
            SetTextColor(dc, RGB(0, 0, 0));
            DrawFocusRectForDpi(dc, focus, d.dpi);
        }
    }
    SelectObject(dc, oldFont);
}

// Labels are read as their role: an option with whether it is chosen, the
// link, or plain text.
AccessibleTraits LabelTraits(HWND wnd, long role) {
    AccessibleTraits t;
    t.role = role;
    if (role == ROLE_SYSTEM_RADIOBUTTON) {
        t.focusable = true; // the arrows reach every option of the group
        t.defaultAction = Wide(UserTexts().actionCheck);
        t.state = [wnd] {
            const Label* d = WidgetOf<Label>(wnd, kLabelClass);
            return d && d->checked ? long(STATE_SYSTEM_CHECKED) : 0L;
        };
    } else if (role == ROLE_SYSTEM_LINK) {
        t.defaultAction = Wide(UserTexts().actionJump);
        t.state = [] { return long(STATE_SYSTEM_LINKED); };
    } else {
        t.state = [] { return long(STATE_SYSTEM_READONLY); };
    }
    return t;
}

LRESULT Label::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        PaintLabel(hwnd_, dc, *this);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcW(hwnd_, msg, wp, lp);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return r;
    }
    case WM_SETFONT:
        font = reinterpret_cast<HFONT>(wp);
        if (LOWORD(lp)) InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font);
    case WM_SETCURSOR:
        if (handCursor && LOWORD(lp) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        if (pressed) {
            pressed = false;
            ReleaseCapture();
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            RECT rc;
            GetClientRect(hwnd_, &rc);
            if (PtInRect(&rc, pt)) NotifyParent(hwnd_, kWidgetClick);
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed = false;
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        focused = msg == WM_SETFOCUS;
        InvalidateRect(hwnd_, nullptr, FALSE);
        if (focused) NotifyAccessible(EVENT_OBJECT_FOCUS, hwnd_);
        return 0;
    case WM_GETOBJECT:
        return AnswerGetObject(hwnd_, wp, lp, LabelTraits(hwnd_, role));
    case kAccessibleDoDefault: {
        // What a click does: a press, then a release on the label.
        HWND wnd = hwnd_;
        NotifyParent(wnd, kWidgetMouseDown);
        if (IsWindow(wnd)) NotifyParent(wnd, kWidgetClick);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE: {
        // Arrows and Enter come here rather than to the dialog manager.
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        const bool enter = m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN;
        return DLGC_WANTARROWS | (enter ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN:
        switch (wp) {
        case VK_SPACE:
            NotifyParent(hwnd_, kWidgetSpace);
            return 0;
        case VK_RETURN:
            NotifyParent(hwnd_, kWidgetEnter);
            return 0;
        case VK_LEFT:
        case VK_UP:
            NotifyParent(hwnd_, kWidgetBack);
            return 0;
        case VK_RIGHT:
        case VK_DOWN:
            NotifyParent(hwnd_, kWidgetOn);
            return 0;
        }
        break;
    default:
        if (msg == WM_LBUTTONDOWN) {
            pressed = true;
            SetCapture(hwnd_);
        }
        if (HandleMouseDown(hwnd_, msg)) return 0;
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

const Picture* Image::shown() {
    if (!picture || dpi == kBaseDpi) return picture;
    if (scaledFrom != picture || scaledFor != dpi) {
        scaled = PictureAt(*picture, dpi);
        scaledFrom = picture;
        scaledFor = dpi;
    }
    return &scaled;
}

LRESULT Image::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        PaintParentBackground(hwnd_, dc);
        if (HighContrastOn() && picture) {
            paintContrastMark(dc);
        } else if (const Picture* shownPicture = shown()) {
            const Picture& p = *shownPicture;
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) {
                    const size_t i = static_cast<size_t>(y) * p.width + x;
                    if (p.alpha[i] == 255)
                        SetPixelV(dc, x, y, p.pixels[i]);
                    else if (p.alpha[i])
                        SetPixelV(dc, x, y, Over(p.pixels[i], GetPixel(dc, x, y), p.alpha[i]));
                }
        }
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_GETOBJECT: {
        AccessibleTraits t;
        t.role = ROLE_SYSTEM_GRAPHIC;
        t.state = [] { return long(STATE_SYSTEM_READONLY); };
        return AnswerGetObject(hwnd_, wp, lp, t);
    }
    case WM_SYSCOLORCHANGE:
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    default:
        if (HandleMouseDown(hwnd_, msg)) return 0;
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

// The option mark in the user's colours: a ring on the window colour, with a
// dot when the option is chosen.
void Image::paintContrastMark(HDC dc) {
    const Picture* p = shown();
    const int n = p ? p->width : 0;
    if (n <= 0) return;
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_WINDOW));
    Ellipse(dc, 0, 0, n, n);
    if (picture == BuiltInPicture("OptionOn")) {
        SelectObject(dc, GetSysColorBrush(COLOR_WINDOWTEXT));
        const int inset = n / 3;
        Ellipse(dc, inset, inset, n - inset, n - inset);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Unicode classes: a label keeps any text it is given, such as a path
// outside the ANSI code page.
bool Register(HINSTANCE instance, const char* name, WNDPROC proc) {
    const std::wstring wideName(name, name + lstrlenA(name));
    WNDCLASSW wc{};
    if (GetClassInfoW(instance, wideName.c_str(), &wc)) return true;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = wideName.c_str();
    return RegisterClassW(&wc) != 0;
}

// Creates the child window that will own `widget`, with `text` (UTF-8) as its
// window text; if the window never got as far as taking it, the widget is
// freed here.
template <class W>
HWND CreateChild(W* widget, const char* cls, const char* text, HWND parent, int id,
                 const RECT& pixels) {
    bool seen = false;
    widget->ncCreateSeen_ = &seen;
    const std::wstring wideClass(cls, cls + lstrlenA(cls));
    HWND wnd = CreateWindowExW(
        0, wideClass.c_str(), Wide(text).c_str(), WS_CHILD | WS_VISIBLE, pixels.left, pixels.top,
        pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), widget);
    if (!seen)
        delete widget;
    else if (wnd)
        widget->ncCreateSeen_ = nullptr;
    return wnd;
}

Image* ImageOf(HWND wnd) {
    return WidgetOf<Image>(wnd, kImageClass);
}

} // namespace

COLORREF ResolveColour(Colour stored) {
    if (stored & kSystemColourFlag) return GetSysColor(static_cast<int>(stored & 0xFF));
    return stored & 0xFFFFFF;
}

bool RegisterFormWidgetClasses(HINSTANCE instance) {
    const bool labels = Register(instance, kLabelClass, Label::WindowProc);
    const bool images = Register(instance, kImageClass, Image::WindowProc);
    return labels && images;
}

HWND CreateFormLabel(HWND parent, int id, const RECT& pixels, const FormControl& control,
                     HFONT font, int dpi) {
    const PropertyBag& p = control.properties;
    auto* d = new Label;
    d->opaque = p.readInt("BackStyle", kLabelOpaque) == kLabelOpaque;
    const long align = p.readInt("Alignment", kAlignLeft);
    d->alignment = align == kAlignCentre ? DT_CENTER : align == 1 ? DT_RIGHT : DT_LEFT;
    d->foreColour = p.readColour("ForeColor", kSysButtonText);
    d->backColour = p.readColour("BackColor", kSystemColourFlag | COLOR_BTNFACE);
    d->handCursor = p.readInt("MousePointer", kPointerDefault) == kPointerHand;
    d->font = font;
    d->dpi = dpi;
    return CreateChild(d, kLabelClass, p.readString("Caption", "").c_str(), parent, id, pixels);
}

HWND CreateFormImage(HWND parent, int id, const RECT& pixels, const FormControl& control, int dpi) {
    auto* d = new Image;
    d->picture = BuiltInPicture(control.properties.readString("Picture", ""));
    d->dpi = dpi;
    return CreateChild(d, kImageClass, "", parent, id, pixels);
}

const Picture* ImagePicture(HWND image) {
    const Image* d = ImageOf(image);
    return d ? d->picture : nullptr;
}

void SetImagePicture(HWND image, const Picture* picture) {
    if (Image* d = ImageOf(image)) {
        d->picture = picture;
        InvalidateRect(image, nullptr, FALSE);
    }
}

void SetFormLabelRole(HWND label, long role) {
    if (Label* d = WidgetOf<Label>(label, kLabelClass)) d->role = role;
}

void SetFormLabelChecked(HWND label, bool checked) {
    Label* d = WidgetOf<Label>(label, kLabelClass);
    if (!d || d->checked == checked) return;
    d->checked = checked;
    NotifyAccessible(EVENT_OBJECT_STATECHANGE, label);
}

void SetFormWidgetDpi(HWND widget, int dpi) {
    if (Label* label = WidgetOf<Label>(widget, kLabelClass))
        label->dpi = dpi;
    else if (Image* image = ImageOf(widget))
        image->dpi = dpi;
    else
        return;
    InvalidateRect(widget, nullptr, FALSE);
}

} // namespace velumira
