#include "velumira_p_win.h"

#include "controls.h"
#include "form_widgets_win.h"
#include "settings.h"
#include "velumira_p_form.h"
#include "velumira_p_rules.h"

#include <commdlg.h>
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

constexpr char kChooserFilter[] =
    "BGM\xCC\xA7\xB2\xD9 (MP3 WAV)\0*.MP3;*.WAV\0"; // BGMﾌｧｲﾙ (MP3 WAV)
constexpr char kChooserTitle[] = "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD"; // ﾌｧｲﾙを開く

// Apply that cannot write says so, with the file's path between the two lines:
// 設定ﾌｧｲﾙに書き込めませんでした。
// ﾌｧｲﾙかﾌｫﾙﾀﾞが書き込み禁止か、ほかのﾌﾟﾛｸﾞﾗﾑが使用中です。設定は変更されていません。
constexpr char kNotWrittenCaption[] = "Velumira";
constexpr char kNotWrittenFirst[] =
    "\x90\xdd\x92\xe8\xcc\xa7\xb2\xd9\x82\xc9\x8f\x91\x82\xab\x8d\x9e"
    "\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";
constexpr char kNotWrittenLast[] =
    "\xcc\xa7\xb2\xd9\x82\xa9\xcc\xab\xd9\xc0\xde\x82\xaa\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x8b\xd6"
    "\x8e\x7e\x82\xa9\x81\x41\x82\xd9\x82\xa9\x82\xcc\xcc\xdf\xdb\xb8\xde\xd7\xd1\x82\xaa\x8e\x67"
    "\x97\x70\x92\x86\x82\xc5\x82\xb7\x81\x42\x90\xdd\x92\xe8\x82\xcd\x95\xcf\x8d\x58\x82\xb3\x82"
    "\xea"
    "\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42";

struct Dialog {
    HWND wnd = nullptr;
    HWND owner = nullptr; // hidden; keeps the dialog off the taskbar
    HFONT font = nullptr;
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
    const auto& controls = VelumiraPForm().controls;
    const int i = id - kFirstControlId;
    return i >= 0 && i < static_cast<int>(controls.size()) ? &controls[i] : nullptr;
}

RECT PixelRect(const FormControl& c) {
    const int left = TwipsToPixels(c.left), top = TwipsToPixels(c.top);
    return {left, top, left + TwipsToPixels(c.width), top + TwipsToPixels(c.height)};
}

// The form is laid out on a grid of 15 twips to a pixel, that is at 96 dpi,
// and its text is measured on the same grid so that it fits its labels. The
// program is not DPI-aware: on a scaled screen the system enlarges the whole
// dialog, and a system that does not (Wine) shows it at its 96 dpi size
// rather than with its texts cut off.
HFONT CreateFormFont(const FontDesc& f) {
    constexpr float kFormDpi = 1440.0f / kTwipsPerPixel;
    const int height = -static_cast<int>(f.size * kFormDpi / 72.0f + 0.5f);
    return CreateFontA(height, 0, 0, 0, f.weight, f.italic, f.underline, f.strikethrough,
                       static_cast<BYTE>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, f.name.c_str());
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
    const RECT r = PixelRect(c);
    switch (c.kind) {
    case FormControlKind::Frame: {
        // On the form the ambient colour is the form's; a frame on a frame
        // takes what its container paints.
        const Colour ambient = parent == d.wnd ? VelumiraPForm().backColour : kAmbientFromParent;
        GFXFrameX* frame = GFXFrameX::create(parent, id, r, &c.properties, ambient);
        if (!frame) return nullptr;
        HWND wnd = frame->hWnd();
        // Tab and arrow keys reach the controls placed on the frame.
        SetWindowLongPtrA(wnd, GWL_EXSTYLE,
                          GetWindowLongPtrA(wnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        return wnd;
    }
    case FormControlKind::Button: {
        ccXPButton* button = ccXPButton::create(parent, id, r, &c.properties);
        return button ? button->hWnd() : nullptr;
    }
    case FormControlKind::Label:
        return CreateFormLabel(parent, id, r, c, d.font);
    case FormControlKind::Image:
        return CreateFormImage(parent, id, r, c);
    case FormControlKind::Combo: {
        // The window height of a drop-down combo includes its list.
        HWND wnd = CreateWindowExA(0, "COMBOBOX", c.properties.readString("Text", "").c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN,
                                   r.left, r.top, r.right - r.left, 200, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   GetModuleHandleA(nullptr), nullptr);
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
    const auto& controls = VelumiraPForm().controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        const FormControl& c = controls[i];
        HWND parent = c.container.empty() ? d.wnd : d.control(c.container);
        if (!parent) continue; // its container could not be made
        if (HWND wnd = CreateControl(d, c, kFirstControlId + static_cast<int>(i), parent))
            d.controls[{c.name, c.index}] = wnd;
    }
}

const Picture* PictureOf(const Dialog& d, int templateIndex) {
    return ImagePicture(d.control("Img_Ra", templateIndex));
}

// Marks option `kind` (none when it is outside 0..2).
void MarkOption(Dialog& d, int kind) {
    for (int i = 0; i < 3; ++i)
        SetImagePicture(d.control("Img_BGM", i), PictureOf(d, 0));
    if (HWND selected = d.control("Img_BGM", kind)) SetImagePicture(selected, PictureOf(d, 1));
}

void SelectOption(Dialog& d, int kind) {
    BgmKind = static_cast<int16_t>(kind);
    SetControlEnabled(d.control("Cmd_File"), false);
    SetControlEnabled(d.control("BGM_Repeat"), false);
    MarkOption(d, kind);
    if (kind == kBgmCd) SetControlEnabled(d.control("BGM_Repeat"), true);
    if (kind == kBgmFile) SetControlEnabled(d.control("Cmd_File"), true);
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
// code page; the dialog's own texts read as the ANSI call would show them.
void ChooseFile(Dialog& d) {
    wchar_t file[255] = {};
    wchar_t title[255] = {};
    const std::wstring filter =
        ToWide(FromAnsi(std::string(kChooserFilter, sizeof kChooserFilter)));
    const std::wstring caption = ToWide(FromAnsi(kChooserTitle));
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
        const std::u16string text =
            FromAnsi(kNotWrittenFirst) + u"\n\n" + file + u"\n\n" + FromAnsi(kNotWrittenLast);
        MessageBoxW(d.wnd, ToWide(text).c_str(), ToWide(FromAnsi(kNotWrittenCaption)).c_str(),
                    MB_OK | MB_ICONEXCLAMATION);
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

void OnCommand(Dialog& d, int id, WORD code) {
    const FormControl* c = FormControlOfId(id);
    if (!c) return; // IDOK / IDCANCEL from Enter and Escape: no default or cancel button
    if (code == kWidgetMouseDown && (c->name == "Img_BGM" || c->name == "lbl_BGM")) {
        SelectOption(d, c->index);
    } else if (code == kWidgetClick && c->name == "lbl_URL") {
        OpenHomePage(d, d.control("lbl_URL"));
    } else if (code == XPBN_CLICK && c->kind == FormControlKind::Button) {
        if (c->name == "Cmd_File")
            ChooseFile(d);
        else if (c->name == "Cmd_Set")
            Apply(d);
        else if (c->name == "Cmd_Can")
            Unload(d);
    }
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
        if (d) OnCommand(*d, LOWORD(wp), HIWORD(wp));
        return 0;
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
    const FormDescription& form = VelumiraPForm();
    // The class brush lives as long as the process: the class outlives dialogs.
    static HBRUSH background = CreateSolidBrush(form.backColour);
    if (!RegisterDialogClasses(instance, background)) return nullptr;
    RegisterControlClasses(instance);
    RegisterFormWidgetClasses(instance);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
    RECT outer{0, 0, TwipsToPixels(form.clientWidth), TwipsToPixels(form.clientHeight)};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);

    auto* d = new Dialog;
    d->font = CreateFormFont(form.font);
    // An owned window gets no taskbar button; the owner is never shown.
    d->owner = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                               nullptr);
    HWND wnd = CreateWindowExA(exStyle, kDialogClass, form.caption.c_str(), style, 0, 0,
                               outer.right - outer.left, outer.bottom - outer.top, d->owner,
                               nullptr, instance, d);
    if (!wnd) {
        if (d->owner) DestroyWindow(d->owner);
        if (d->font) DeleteObject(d->font);
        delete d;
        return nullptr;
    }
    BuildControls(*d);
    Load(*d);
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    if (HWND first = GetNextDlgTabItem(wnd, nullptr, FALSE)) SetFocus(first);
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
