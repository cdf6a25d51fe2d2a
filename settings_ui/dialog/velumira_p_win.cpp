#include "velumira_p_win.h"

#include "accessible_win.h"
#include "contrast_win.h"
#include "controls.h"
#include "dpi_scale.h"
#include "dpi_win.h"
#include "form_widgets_win.h"
#include "settings.h"
#include "velumira_p_form.h"
#include "velumira_p_rules.h"
#include "texts/texts_win.h"

#include <commdlg.h>
#include <oleacc.h>
#include <shellapi.h>

#include <map>
#include <utility>

int16_t AnimOriginX = 0;
int16_t AnimOriginY = 0;

namespace velumira {
namespace {

constexpr char kDialogClass[] = "Velumira_P";
constexpr char kOwnerClass[] = "Velumira_P_Owner";
// Control IDs are the form table position plus this base, clear of IDOK and
// IDCANCEL, which the dialog manager sends for Enter and Escape.
constexpr int kFirstControlId = 100;
constexpr int kTrackItems = 31;
// The track combo's height with its list dropped, in pixels at 96 dpi.
constexpr int kComboDroppedHeight = 200;

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;

constexpr wchar_t kChooserPatterns[] = L"*.MP3;*.WAV";

// The form in the user's language.
const FormDescription& Form() {
    return VelumiraPForm(UserLanguage());
}

struct Dialog {
    HWND wnd = nullptr;
    HWND owner = nullptr; // hidden; keeps the dialog off the taskbar
    HFONT font = nullptr;
    int dpi = kBaseDpi; // what the dialog is laid out and drawn at
    bool unloading = false;
    HWND lastFocus = nullptr; // restored when the dialog is activated again
    std::map<std::pair<std::string, int>, HWND> controls;

    HWND control(const std::string& name, int index = -1) const {
        auto it = controls.find({name, index});
        return it == controls.end() ? nullptr : it->second;
    }
};

Dialog* DialogOf(HWND wnd) {
    char cls[32];
    if (!GetClassNameA(wnd, cls, sizeof cls) || lstrcmpA(cls, kDialogClass) != 0) return nullptr;
    return reinterpret_cast<Dialog*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

const FormControl* FormControlOfId(int id) {
    const auto& controls = Form().controls;
    const int i = id - kFirstControlId;
    return i >= 0 && i < static_cast<int>(controls.size()) ? &controls[i] : nullptr;
}

RECT PixelRect(const FormControl& c, int dpi) {
    return {TwipsToPixels(c.left, dpi), TwipsToPixels(c.top, dpi),
            TwipsToPixels(c.left + c.width, dpi), TwipsToPixels(c.top + c.height, dpi)};
}

// The dialog's window rectangle at `dpi`, round its client area.
RECT OuterRect(int dpi) {
    const FormDescription& form = Form();
    RECT r{0, 0, TwipsToPixels(form.clientWidth, dpi), TwipsToPixels(form.clientHeight, dpi)};
    AdjustWindowRectForDpi(r, kDialogStyle, kDialogExStyle, dpi);
    return r;
}

// The form's text at the dialog's DPI. The Japanese font is on the same
// scale as the layout around it, so that it fits its labels at every DPI as
// it does at 96; the message font is the system's own at that DPI.
HFONT CreateFormFont(const FormDescription& form, int dpi) {
    if (form.messageFont) {
        const LOGFONTW font = MessageFontForDpi(dpi);
        return CreateFontIndirectW(&font);
    }
    const FontDesc& f = form.font;
    return CreateFontW(-FontHeightPixels(f.size, dpi), 0, 0, 0, f.weight, f.italic, f.underline,
                       f.strikethrough, static_cast<BYTE>(f.charset), OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       Wide(f.name.c_str()).c_str());
}

// Buttons keep a font of their own; the message font is handed to them.
void GiveButtonTheFont(const Dialog& d, HWND button) {
    if (Form().messageFont)
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), TRUE);
}

void SetControlEnabled(HWND wnd, bool on) {
    if (!wnd) return;
    if (ccXPButton* b = ccXPButton::fromHwnd(wnd))
        b->setEnabled(on);
    else
        EnableWindow(wnd, on);
}

// The closed combo shows exactly its stored height; the list drops below.
// How the field's item height maps to the window height differs between
// platform versions, so adjust and measure again.
void FitComboHeight(HWND combo, int height) {
    LRESULT request = SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 4 && request != CB_ERR; ++attempt) {
        RECT rc;
        GetWindowRect(combo, &rc);
        const int excess = (rc.bottom - rc.top) - height;
        if (excess == 0 || request - excess <= 0) return;
        request -= excess;
        SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
    }
}

HWND CreateControl(Dialog& d, const FormControl& c, int id, HWND parent) {
    const RECT r = PixelRect(c, d.dpi);
    switch (c.kind) {
    case FormControlKind::Frame: {
        // On the form the ambient colour is the form's; a frame on a frame
        // takes what its container paints.
        const Colour ambient = parent == d.wnd ? Form().backColour : kAmbientFromParent;
        GFXFrameX* frame = GFXFrameX::create(parent, id, r, &c.properties, ambient);
        if (!frame) return nullptr;
        frame->setDpi(d.dpi);
        HWND wnd = frame->hWnd();
        // Tab and arrow keys reach the controls placed on the frame.
        SetWindowLongPtrA(wnd, GWL_EXSTYLE,
                          GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        return wnd;
    }
    case FormControlKind::Button: {
        ccXPButton* button = ccXPButton::create(parent, id, r, &c.properties);
        if (!button) return nullptr;
        button->setDpi(d.dpi);
        GiveButtonTheFont(d, button->hWnd());
        return button->hWnd();
    }
    case FormControlKind::Label:
        return CreateFormLabel(parent, id, r, c, d.font, d.dpi);
    case FormControlKind::Image:
        return CreateFormImage(parent, id, r, c, d.dpi);
    case FormControlKind::Combo: {
        // The window height of a drop-down combo includes its list.
        HWND wnd = CreateWindowExA(
            0, "COMBOBOX", c.properties.readString("Text", "").c_str(),
            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, r.left, r.top,
            r.right - r.left, ScalePixels(kComboDroppedHeight, d.dpi), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
        if (wnd) {
            SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
            FitComboHeight(wnd, r.bottom - r.top);
        }
        return wnd;
    }
    }
    return nullptr;
}

void BuildControls(Dialog& d) {
    const auto& controls = Form().controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const FormControl& c = controls[i];
        HWND parent = c.container.empty() ? d.wnd : d.control(c.container);
        if (!parent) continue; // its container could not be made
        if (HWND wnd = CreateControl(d, c, kFirstControlId + static_cast<int>(i), parent))
            d.controls[{c.name, c.index}] = wnd;
    }
}

// Lays the built dialog out again for another DPI: every control's place,
// size and drawing, and the form's font. The window's own size is the
// caller's.
void LayOut(Dialog& d, int dpi) {
    d.dpi = dpi;
    HFONT old = d.font;
    d.font = CreateFormFont(Form(), dpi);
    for (const FormControl& c : Form().controls) {
        HWND wnd = d.control(c.name, c.index);
        if (!wnd) continue;
        const RECT r = PixelRect(c, dpi);
        int height = r.bottom - r.top;
        switch (c.kind) {
        case FormControlKind::Frame:
            if (GFXFrameX* frame = GFXFrameX::fromHwnd(wnd)) frame->setDpi(dpi);
            break;
        case FormControlKind::Button:
            if (ccXPButton* button = ccXPButton::fromHwnd(wnd)) button->setDpi(dpi);
            GiveButtonTheFont(d, wnd);
            break;
        case FormControlKind::Label:
            SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), TRUE);
            SetFormWidgetDpi(wnd, dpi);
            break;
        case FormControlKind::Image:
            SetFormWidgetDpi(wnd, dpi);
            break;
        case FormControlKind::Combo:
            SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), TRUE);
            height = ScalePixels(kComboDroppedHeight, dpi);
            break;
        }
        SetWindowPos(wnd, nullptr, r.left, r.top, r.right - r.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (c.kind == FormControlKind::Combo) FitComboHeight(wnd, r.bottom - r.top);
    }
    if (old) DeleteObject(old);
}

const Picture* PictureOf(const Dialog& d, int templateIndex) {
    return ImagePicture(d.control("Img_Ra", templateIndex));
}

void SetTabStop(HWND wnd, bool on) {
    if (!wnd) return;
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    SetWindowLongPtrA(wnd, GWL_STYLE, on ? style | WS_TABSTOP : style & ~LONG_PTR(WS_TABSTOP));
}

// The option that holds the option group's one tab stop while `kind` is
// selected: that option, or the top one when none is.
int OptionStop(int kind) {
    const std::vector<int> order = OptionsTopDown(Form());
    return OptionAfter(order, kind, 0);
}

// Marks option `kind` (none when it is outside 0..2) and gives the option
// group's tab stop to it.
void MarkOption(Dialog& d, int kind) {
    for (int i = 0; i < 3; ++i)
        SetImagePicture(d.control("Img_BGM", i), PictureOf(d, 0));
    if (HWND selected = d.control("Img_BGM", kind)) SetImagePicture(selected, PictureOf(d, 1));
    const int stop = OptionStop(kind);
    for (int i : OptionsTopDown(Form())) {
        SetTabStop(d.control("lbl_BGM", i), i == stop);
        SetFormLabelChecked(d.control("lbl_BGM", i), i == kind);
    }
}

// What screen readers hear: the options as one radio group, the link as a
// link, the "..." button by what it does, the music frame by its caption,
// and the track box by the label beside it.
void DescribeForScreenReaders(Dialog& d) {
    for (int i : OptionsTopDown(Form()))
        SetFormLabelRole(d.control("lbl_BGM", i), ROLE_SYSTEM_RADIOBUTTON);
    SetFormLabelRole(d.control("lbl_URL"), ROLE_SYSTEM_LINK);
    if (ccXPButton* file = ccXPButton::fromHwnd(d.control("Cmd_File")))
        file->setAccessibleName(Wide(UserTexts().chooseFileName));
    if (GFXFrameX* frame = GFXFrameX::fromHwnd(d.control("GFXFrameX1")))
        frame->setAccessibleName(WindowTextOf(d.control("lbl", 0)));
    // A combo box is named after the static text just before it in the
    // z-order; its label follows it, so a hidden copy stands in front.
    HWND combo = d.control("BGM_Repeat"), label = d.control("lbl", 14);
    if (!combo || !label) return;
    HWND before = GetWindow(combo, GW_HWNDPREV);
    HWND name = CreateWindowExW(0, L"STATIC", WindowTextOf(label).c_str(), WS_CHILD, 0, 0, 0, 0,
                                GetParent(combo), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (name)
        SetWindowPos(name, before ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL CALLBACK PassColourChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

bool IsOptionLabel(const Dialog& d, HWND wnd) {
    for (int i : OptionsTopDown(Form()))
        if (wnd && wnd == d.control("lbl_BGM", i)) return true;
    return false;
}

void SelectOption(Dialog& d, int kind) {
    BgmKind = static_cast<int16_t>(kind);
    SetControlEnabled(d.control("Cmd_File"), false);
    SetControlEnabled(d.control("BGM_Repeat"), false);
    MarkOption(d, kind);
    if (kind == kBgmCd) SetControlEnabled(d.control("BGM_Repeat"), true);
    if (kind == kBgmFile) SetControlEnabled(d.control("Cmd_File"), true);
    // Within the option group the keyboard focus goes with the choice.
    if (IsOptionLabel(d, GetFocus())) SetFocus(d.control("lbl_BGM", kind));
}

RECT AnimOriginRect() {
    return {AnimOriginX, AnimOriginY, AnimOriginX, AnimOriginY};
}

void Load(Dialog& d) {
    RECT wr;
    GetWindowRect(d.wnd, &wr);
    const Placement at = PlaceDialog(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     wr.right - wr.left, wr.bottom - wr.top);
    SetWindowPos(d.wnd, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    HWND combo = d.control("BGM_Repeat");
    SetControlEnabled(combo, false);
    MarkOption(d, BgmKind);
    if (BgmKind == kBgmCd) SetControlEnabled(combo, true);
    SetControlEnabled(d.control("Cmd_File"), BgmKind == kBgmFile);

    if (combo) {
        SetWindowTextA(combo, FormatTrack(BgmTrack).c_str());
        for (int i = 0; i < kTrackItems; ++i)
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FormatTrack(i).c_str()));
    }
    if (HWND path = d.control("lbl_Fname")) SetWindowTextW(path, ToWide(BgmFile).c_str());

    POINT cursor;
    if (GetCursorPos(&cursor)) {
        AnimOriginX = static_cast<int16_t>(cursor.x);
        AnimOriginY = static_cast<int16_t>(cursor.y);
    } else {
        AnimOriginX = 0;
        AnimOriginY = 0;
    }
    const RECT from = AnimOriginRect();
    GetWindowRect(d.wnd, &wr);
    DrawAnimatedRects(d.wnd, IDANI_CAPTION, &from, &wr);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void Unload(Dialog& d) {
    if (d.unloading) return;
    d.unloading = true;
    RECT wr;
    GetWindowRect(d.wnd, &wr);
    const RECT to = AnimOriginRect();
    DrawAnimatedRects(d.wnd, IDANI_CAPTION, &wr, &to);
    DestroyWindow(d.wnd);
}

// The chooser hands over the path the user picked as it is, whatever the
// code page.
void ChooseFile(Dialog& d) {
    wchar_t file[255] = {};
    wchar_t title[255] = {};
    const Texts& texts = UserTexts();
    // Name, patterns, and the empty entry that ends the list.
    std::wstring filter = Wide(texts.chooserFilterName);
    filter += L'\0';
    filter += kChooserPatterns;
    filter += L'\0';
    const std::wstring caption = Wide(texts.chooserTitle);
    const std::wstring folder = ToWide(BgmFolder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = d.wnd;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = 255;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = 255;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrTitle = caption.c_str();
    ofn.Flags = 0;
    if (!GetOpenFileNameW(&ofn)) return;
    file[254] = L'\0';
    BgmFile = FromWide(file);
    if (HWND path = d.control("lbl_Fname")) SetWindowTextW(path, file);
    BgmFolder = FolderOf(BgmFile);
}

void Apply(Dialog& d) {
    char text[256] = {};
    if (HWND combo = d.control("BGM_Repeat")) GetWindowTextA(combo, text, sizeof text);
    int16_t track = 0;
    const auto writes = ApplyWrites(BgmKind, text, BgmFile, track);
    BgmTrack = track;
    const std::u16string file = SettingsFilePath();
    // Since the programs declare their privileges, a settings file in a
    // protected folder is no longer silently redirected elsewhere: a write
    // that fails must be told, and the user keeps the dialog to try again or
    // cancel.
    if (!WriteIniStrings(kIniSection, writes, file)) {
        const Texts& texts = UserTexts();
        const std::wstring text = Wide(texts.notWrittenFirst) + L"\n\n" + ToWide(file) + L"\n\n" +
                                  Wide(texts.notWrittenLast);
        MessageBoxW(d.wnd, text.c_str(), Wide(texts.appTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Unload(d);
}

void OpenHomePage(Dialog& d, HWND label) {
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
    char url[512] = {};
    GetWindowTextA(label, url, sizeof url);
    ShellExecuteA(d.wnd, "open", url, "", "", SW_SHOWNORMAL);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void MoveFocus(Dialog& d, HWND from, bool back) {
    HWND next = GetNextDlgTabItem(d.wnd, from, back);
    if (next && next != from) SetFocus(next);
}

void OnCommand(Dialog& d, int id, WORD code, HWND from) {
    const FormControl* c = FormControlOfId(id);
    if (!c) return; // IDOK / IDCANCEL from Enter and Escape: no default or cancel button
    if (c->name == "Img_BGM" || c->name == "lbl_BGM") {
        // Space and the arrows choose as a click does.
        if (code == kWidgetMouseDown || code == kWidgetSpace)
            SelectOption(d, c->index);
        else if (code == kWidgetBack || code == kWidgetOn)
            SelectOption(d,
                         OptionAfter(OptionsTopDown(Form()), c->index, code == kWidgetOn ? 1 : -1));
    } else if (c->name == "lbl_URL") {
        if (code == kWidgetClick || code == kWidgetSpace || code == kWidgetEnter)
            OpenHomePage(d, d.control("lbl_URL"));
        else if (code == kWidgetBack || code == kWidgetOn)
            MoveFocus(d, from, code == kWidgetBack); // as on the buttons
    } else if (code == XPBN_CLICK && c->kind == FormControlKind::Button) {
        if (c->name == "Cmd_File")
            ChooseFile(d);
        else if (c->name == "Cmd_Set")
            Apply(d);
        else if (c->name == "Cmd_Can")
            Unload(d);
    }
}

// Moved to a monitor of another scale: laid out again at its DPI, in the
// window rectangle the system suggests.
void OnDpiChanged(Dialog& d, int dpi, const RECT& suggested) {
    LayOut(d, dpi);
    SetWindowPos(d.wnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK DialogProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* d = DialogOf(wnd);
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        d = static_cast<Dialog*>(cs->lpCreateParams);
        d->wnd = wnd;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(d));
        break;
    }
    case WM_COMMAND:
        if (d) OnCommand(*d, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_DPICHANGED:
        if (d && lp) OnDpiChanged(*d, LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_GETDPISCALEDSIZE:
        // The size the layout takes at the new DPI, not a linear scaling.
        if (d && lp) {
            const RECT outer = OuterRect(static_cast<int>(wp));
            auto* size = reinterpret_cast<SIZE*>(lp);
            size->cx = outer.right - outer.left;
            size->cy = outer.bottom - outer.top;
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (d && LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(wnd, focus)) d->lastFocus = focus;
        } else if (d && d->lastFocus && IsWindow(d->lastFocus) && IsWindowEnabled(d->lastFocus)) {
            SetFocus(d->lastFocus);
        }
        return 0;
    case WM_CLOSE:
        if (d) Unload(*d);
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // High contrast switched, or the user's colours changed: the
        // controls, which only top-level windows hear of it, draw anew.
        if (d && (ReadHighContrast() || msg == WM_SYSCOLORCHANGE)) {
            EnumChildWindows(wnd, PassColourChange, 0);
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        break;
    case WM_ERASEBKGND:
        if (HighContrastOn()) {
            RECT rc;
            GetClientRect(wnd, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        break;
    case WM_NCDESTROY:
        if (d) {
            SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
            if (d->owner) DestroyWindow(d->owner);
            if (d->font) DeleteObject(d->font);
            delete d;
        }
        break;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

bool RegisterDialogClasses(HINSTANCE instance, HBRUSH background) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, kDialogClass, &wc)) {
        wc.lpfnWndProc = DialogProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = background;
        wc.lpszClassName = kDialogClass;
        if (!RegisterClassA(&wc)) return false;
    }
    WNDCLASSA owner{};
    if (!GetClassInfoA(instance, kOwnerClass, &owner)) {
        owner.lpfnWndProc = DefWindowProcA;
        owner.hInstance = instance;
        owner.lpszClassName = kOwnerClass;
        if (!RegisterClassA(&owner)) return false;
    }
    return true;
}

} // namespace

HWND CreateVelumiraP(HINSTANCE instance) {
    const FormDescription& form = Form();
    // The class brush lives as long as the process: the class outlives dialogs.
    static HBRUSH background = CreateSolidBrush(form.backColour);
    if (!RegisterDialogClasses(instance, background)) return nullptr;
    RegisterControlClasses(instance);
    RegisterFormWidgetClasses(instance);

    auto* d = new Dialog;
    // An owned window gets no taskbar button; the owner is never shown. It
    // lies on the primary monitor, where the dialog is placed, and tells its
    // DPI.
    d->owner = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                               nullptr);
    d->dpi = WindowDpi(d->owner);
    d->font = CreateFormFont(form, d->dpi);
    const RECT outer = OuterRect(d->dpi);
    HWND wnd = CreateWindowExA(kDialogExStyle, kDialogClass, form.caption.c_str(), kDialogStyle, 0,
                               0, outer.right - outer.left, outer.bottom - outer.top, d->owner,
                               nullptr, instance, d);
    if (!wnd) {
        if (d->owner) DestroyWindow(d->owner);
        if (d->font) DeleteObject(d->font);
        delete d;
        return nullptr;
    }
    BuildControls(*d);
    SetTabStop(d->control("lbl_URL"), true); // the link is reached by Tab too
    DescribeForScreenReaders(*d);
    Load(*d);
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    // The keyboard starts on the music choice.
    HWND first = d->control("lbl_BGM", OptionStop(BgmKind));
    if (!first) first = GetNextDlgTabItem(wnd, nullptr, FALSE);
    if (first) SetFocus(first);
    UpdateWindow(wnd);
    return wnd;
}

void RunVelumiraP(HWND dialog) {
    MSG msg;
    while (IsWindow(dialog)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam)); // leave it for the caller's loop
            break;
        }
        if (got < 0) break;
        if (IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND VelumiraPControl(HWND dialog, const std::string& name, int index) {
    const Dialog* d = DialogOf(dialog);
    return d ? d->control(name, index) : nullptr;
}

const Picture* VelumiraPPicture(HWND image) {
    return ImagePicture(image);
}

} // namespace velumira

void ShowVelumiraP() {
    if (HWND dialog = velumira::CreateVelumiraP(GetModuleHandleA(nullptr)))
        velumira::RunVelumiraP(dialog);
}
