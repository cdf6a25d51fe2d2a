// The settings dialog as a real window under Wine (code page 932): layout,
// load, option selection, the file chooser, apply, cancel and close. In the
// English world (code page 1252) its English texts and their room.
#include "velumira_p_win.h"

#include "button_core.h"
#include "contrast_win.h"
#include "controls.h"
#include "dpi_scale.h"
#include "dpi_win.h"
#include "settings.h"
#include "velumira_p_form.h"
#include "velumira_p_rules.h"
#include "texts/texts_win.h"

#include <windows.h>
#include <commdlg.h>

#include <gtest/gtest.h>

#include "file_bytes.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace velumira;

namespace {

const char kChooserTitle[] = "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD"; // ﾌｧｲﾙを開く

using velumira::test_support::ReadBytes;

std::string WindowText(HWND wnd) {
    char buf[1024] = {};
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

// Handles messages already queued, for a while.
void Pump(DWORD ms = 50) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

// What a ccXPButton tells its parent when it is clicked.
void Click(HWND button) {
    ASSERT_NE(button, nullptr);
    SendMessageA(GetParent(button), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(button)), XPBN_CLICK),
                 reinterpret_cast<LPARAM>(button));
}

std::wstring WideText(HWND wnd) {
    wchar_t buf[1024] = {};
    GetWindowTextW(wnd, buf, 1024);
    return buf;
}

// The control's window text, measured in the font it draws with, fits inside
// it, `inset` pixels clear of each edge; only across unless `lineToo`.
void ExpectTextFits(HWND wnd, int inset, bool lineToo = true) {
    ASSERT_NE(wnd, nullptr);
    const std::wstring text = WideText(wnd);
    HDC dc = GetDC(wnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
    RECT rc;
    GetClientRect(wnd, &rc);
    EXPECT_LE(size.cx, rc.right - 2 * inset) << Utf8(text.c_str());
    if (lineToo) {
        EXPECT_LE(tm.tmHeight, rc.bottom - 2 * inset) << Utf8(text.c_str());
    }
}

// What the system would suggest for the dialog moved to a monitor at `dpi`.
RECT SuggestedRect(HWND dialog, int dpi) {
    const FormDescription& form = VelumiraPForm(UserLanguage());
    RECT r{0, 0, TwipsToPixels(form.clientWidth, dpi), TwipsToPixels(form.clientHeight, dpi)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dialog, GWL_EXSTYLE)));
    OffsetRect(&r, 30 - r.left, 40 - r.top);
    return r;
}

class SettingsDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u);
        Reset();
    }
    void Reset() {
        ini = AsciiOf(SettingsFilePath()); // the test's folder is plain ASCII
        DeleteFileA(ini.c_str());
        BgmKind = 0;
        BgmTrack = 0;
        BgmFile.clear();
        BgmFolder = HostFolder();
    }
    void TearDown() override {
        if (dialog && IsWindow(dialog)) DestroyWindow(dialog);
        DeleteFileA(ini.c_str());
    }
    void Open() {
        dialog = CreateVelumiraP(GetModuleHandleA(nullptr));
        ASSERT_NE(dialog, nullptr);
        Pump();
    }
    HWND Ctl(const char* name, int index = -1) { return VelumiraPControl(dialog, name, index); }
    const Picture* Mark(int option) { return VelumiraPPicture(Ctl("Img_BGM", option)); }
    const Picture* Selected() { return VelumiraPPicture(Ctl("Img_Ra", 1)); }
    const Picture* Unselected() { return VelumiraPPicture(Ctl("Img_Ra", 0)); }

    // Exactly option `kind` marked (none outside 0..2) with its enable states.
    void ExpectOption(int kind) {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Mark(i), i == kind ? Selected() : Unselected()) << "option " << i;
        EXPECT_EQ(IsWindowEnabled(Ctl("BGM_Repeat")) != FALSE, kind == 1);
        EXPECT_EQ(IsWindowEnabled(Ctl("Cmd_File")) != FALSE, kind == 2);
    }

    // Every control where the form puts it at `dpi`, in its container.
    void ExpectControlsAt(int dpi) {
        for (const FormControl& c : VelumiraPForm(UserLanguage()).controls) {
            SCOPED_TRACE(c.name + "(" + std::to_string(c.index) + ") at " + std::to_string(dpi));
            HWND wnd = Ctl(c.name.c_str(), c.index);
            ASSERT_NE(wnd, nullptr);
            HWND container = c.container.empty() ? dialog : Ctl(c.container.c_str());
            EXPECT_EQ(GetParent(wnd), container);
            RECT r;
            GetWindowRect(wnd, &r);
            MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left, TwipsToPixels(c.left, dpi));
            EXPECT_EQ(r.top, TwipsToPixels(c.top, dpi));
            EXPECT_EQ(r.right, TwipsToPixels(c.left + c.width, dpi));
            EXPECT_EQ(r.bottom, TwipsToPixels(c.top + c.height, dpi));
        }
    }
    LONG FontHeight() {
        LOGFONTA lf{};
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(Ctl("BGM_Repeat"), WM_GETFONT, 0, 0));
        GetObjectA(font, sizeof lf, &lf);
        return lf.lfHeight;
    }

    std::string ini;
    HWND dialog = nullptr;
};

} // namespace

TEST_F(SettingsDialog, WindowMatchesItsForm) {
    Open();
    EXPECT_EQ(WindowText(dialog), "<Velumira>");
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 490);
    EXPECT_EQ(client.bottom, 239);

    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_NE(owner, nullptr) << "an unowned window gets a taskbar button";
    EXPECT_FALSE(IsWindowVisible(owner));

    // Background colour where no control lies.
    HDC dc = GetDC(dialog);
    EXPECT_EQ(GetPixel(dc, 480, 5), RGB(224, 224, 224));
    ReleaseDC(dialog, dc);

    // Centred across, one third down.
    RECT wr;
    GetWindowRect(dialog, &wr);
    const Placement at = PlaceDialog(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     wr.right - wr.left, wr.bottom - wr.top);
    EXPECT_EQ(wr.left, at.left);
    EXPECT_EQ(wr.top, at.top);

    ExpectControlsAt(96);
}

TEST_F(SettingsDialog, TextsAreShiftJisBytes) {
    Open();
    EXPECT_EQ(WindowText(Ctl("lbl", 0)), "BGM");
    EXPECT_EQ(WindowText(Ctl("lbl_BGM", 1)), "\x89\xB9\x8A\x79"
                                             "CD");
    EXPECT_EQ(WindowText(Ctl("lbl", 14)), "\x8B\xC8\x96\xDA\x82\xF0\xD8\xCB\xDF\xB0\xC4");
    EXPECT_EQ(WindowText(Ctl("lbl_BGM", 0)), "\x82\xC8\x82\xB5");
    EXPECT_EQ(WindowText(Ctl("lbl_BGM", 2)), "MP3\x81\x41WAV");
    EXPECT_EQ(WindowText(Ctl("Cmd_Can")), "\xB7\xAC\xDD\xBE\xD9");
    EXPECT_EQ(WindowText(Ctl("Cmd_Set")), "\x90\xDD\x92\xE8");
    EXPECT_EQ(WindowText(Ctl("Cmd_File")), "...");
    const std::string credit = WindowText(Ctl("lbl", 7));
    EXPECT_EQ(credit.substr(credit.size() - 9), "Ver.1.0.0");
    // The whole version number shows. (The stand-in for the Japanese font is
    // a pixel taller than the line it was laid out for.)
    ExpectTextFits(Ctl("lbl", 7), 0, false);
    EXPECT_EQ(WindowText(Ctl("lbl_URL")), kHomePageUrl);

    LOGFONTA lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(Ctl("BGM_Repeat"), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(lf.lfHeight, -13); // 9.75 pt at 96 dpi
}

TEST_F(SettingsDialog, LaysItselfOutAgainWhenItsDpiChanges) {
    Open();
    RECT before;
    GetWindowRect(dialog, &before);
    // The size it asks the system for at 144 dpi: its layout's, not a
    // stretched one.
    SIZE size{};
    EXPECT_TRUE(SendMessageA(dialog, WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&size)));
    EXPECT_GE(size.cx, 735);
    EXPECT_GE(size.cy, 359);

    // Moved to a monitor at 144 dpi, with the rectangle the system suggests.
    const LONG style = GetWindowLongA(dialog, GWL_STYLE), ex = GetWindowLongA(dialog, GWL_EXSTYLE);
    RECT at144{0, 0, 735, 359};
    AdjustWindowRectEx(&at144, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(ex));
    OffsetRect(&at144, 30 - at144.left, 40 - at144.top);
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&at144));
    Pump();
    RECT wr, client;
    GetWindowRect(dialog, &wr);
    GetClientRect(dialog, &client);
    EXPECT_TRUE(EqualRect(&wr, &at144));
    EXPECT_EQ(client.right, 735);
    EXPECT_EQ(client.bottom, 359);
    ExpectControlsAt(144);
    EXPECT_EQ(FontHeight(), -19); // 9.75 pt at 144 dpi, no larger than the layout
    // The controls draw at 144 dpi: two-pixel borders.
    ccXPButton* set = ccXPButton::fromHwnd(Ctl("Cmd_Set"));
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->dpi(), 144);
    EXPECT_EQ(GetPixel(set->surface(), 1, 15), COLORREF(ButtonColoursOf(set->state()).border));
    GFXFrameX* frame = GFXFrameX::fromHwnd(Ctl("GFXFrameX1"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetPixel(frame->surface(), 1, 100), COLORREF(0));
    EXPECT_EQ(GetPixel(frame->surface(), 2, 100), COLORREF(RGB(224, 224, 224)));

    // And back, exactly as it was.
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&before));
    Pump();
    GetWindowRect(dialog, &wr);
    EXPECT_TRUE(EqualRect(&wr, &before));
    ExpectControlsAt(96);
    EXPECT_EQ(FontHeight(), -13);
    EXPECT_EQ(GetPixel(set->surface(), 1, 15), GetPixel(set->surface(), 2, 15));
    EXPECT_EQ(GetPixel(frame->surface(), 1, 100), COLORREF(RGB(224, 224, 224)));
}

// Every other language reads English, drawn in the system's message font,
// with room for every text at every common scale.
class EnglishDialog : public SettingsDialog {
  protected:
    void SetUp() override {
        if (UserLanguage() != Language::English) GTEST_SKIP() << "a Japanese world";
        Reset();
    }
};

TEST_F(EnglishDialog, ControlsCarryTheirEnglishTextsAndFitThemAtEveryScale) {
    EXPECT_EQ(GetACP(), 1252u);
    Open();
    EXPECT_EQ(WindowText(dialog), "<Velumira>");
    const std::pair<const char*, const wchar_t*> texts[] = {
        {"Cmd_Can", L"Cancel"}, {"Cmd_Set", L"OK"}, {"Cmd_File", L"..."}};
    for (const auto& t : texts)
        EXPECT_EQ(WideText(Ctl(t.first)), t.second);
    EXPECT_EQ(WideText(Ctl("lbl", 0)), L"Music");
    EXPECT_EQ(WideText(Ctl("lbl_BGM", 1)), L"Audio CD");
    EXPECT_EQ(WideText(Ctl("lbl", 14)), L"Repeat track");
    EXPECT_EQ(WideText(Ctl("lbl_BGM", 0)), L"None");
    EXPECT_EQ(WideText(Ctl("lbl_BGM", 2)), L"MP3 or WAV file");

    // The message font, as message boxes show it at this (the system's) DPI.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    for (HWND wnd : {Ctl("lbl_BGM", 1), Ctl("Cmd_Set")}) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName, metrics.lfMessageFont.lfFaceName);
        EXPECT_EQ(lf.lfHeight, metrics.lfMessageFont.lfHeight);
    }

    for (int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(dpi);
        RECT at = SuggestedRect(dialog, dpi);
        SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&at));
        Pump();
        ExpectControlsAt(dpi);
        for (const FormControl& c : VelumiraPForm(UserLanguage()).controls) {
            SCOPED_TRACE(c.name + "(" + std::to_string(c.index) + ")");
            if (c.kind == FormControlKind::Label && c.name != "lbl_Fname")
                ExpectTextFits(Ctl(c.name.c_str(), c.index), 0);
            else if (c.kind == FormControlKind::Button)
                ExpectTextFits(Ctl(c.name.c_str(), c.index), 3 * LineWidth(dpi));
        }
    }
}

// A Japanese user on a system whose ANSI code page is not Japanese (a
// Japanese UI language on a Western system, say) reads the same texts in
// the same font.
class JapaneseOnAnotherCodePage : public SettingsDialog {
  protected:
    void SetUp() override {
        if (UserLanguage() != Language::Japanese || GetACP() == 932) GTEST_SKIP();
        Reset();
    }
};

TEST_F(JapaneseOnAnotherCodePage, TextsAndFontAreTheSystemsOwn) {
    Open();
    EXPECT_EQ(WideText(Ctl("lbl_BGM", 1)), L"\u97F3\u697DCD"); // 音楽CD
    EXPECT_EQ(WideText(Ctl("lbl", 14)),
              L"\u66F2\u76EE\u3092\uFF98\uFF8B\uFF9F\uFF70\uFF84"); // 曲目をﾘﾋﾟｰﾄ
    EXPECT_EQ(WideText(Ctl("lbl_BGM", 0)), L"\u306A\u3057");        // なし
    EXPECT_EQ(WideText(Ctl("lbl_BGM", 2)), L"MP3\u3001WAV");        // MP3、WAV
    EXPECT_EQ(WideText(Ctl("Cmd_Can")), L"\uFF77\uFF6C\uFF9D\uFF7E\uFF99"); // ｷｬﾝｾﾙ
    EXPECT_EQ(WideText(Ctl("Cmd_Set")), L"\u8A2D\u5B9A");                   // 設定
    for (HWND wnd : {Ctl("lbl_BGM", 1), Ctl("Cmd_Set")}) {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_STREQ(lf.lfFaceName,
                     L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"); // ＭＳ Ｐゴシック
        EXPECT_EQ(lf.lfHeight, -13);
    }
}

TEST_F(SettingsDialog, TrackComboHoldsEmptyAndOneToThirty) {
    BgmTrack = 0;
    Open();
    HWND combo = Ctl("BGM_Repeat");
    EXPECT_TRUE(GetWindowLongA(combo, GWL_STYLE) & CBS_DROPDOWN);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 31);
    char item[16];
    for (int i = 0; i < 31; ++i) {
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(std::string(item), i == 0 ? "" : std::to_string(i));
    }
    EXPECT_EQ(WindowText(combo), "");
}

TEST_F(SettingsDialog, LoadShowsEachKind) {
    BgmKind = 0;
    Open();
    ExpectOption(0);
    EXPECT_EQ(WindowText(Ctl("lbl_Fname")), "");
    DestroyWindow(dialog);

    BgmKind = 1;
    BgmTrack = 7;
    Open();
    ExpectOption(1);
    EXPECT_EQ(WindowText(Ctl("BGM_Repeat")), "7");
    DestroyWindow(dialog);

    BgmKind = 2;
    BgmFile = u"C:\\Music\\a.mp3";
    Open();
    ExpectOption(2);
    EXPECT_EQ(WindowText(Ctl("lbl_Fname")), "C:\\Music\\a.mp3");
    DestroyWindow(dialog);

    BgmKind = 5; // from a hand-edited file: nothing marked, both disabled
    Open();
    ExpectOption(5);
}

TEST_F(SettingsDialog, AnyMouseButtonSelectsAnOption) {
    Open();
    SendMessageA(Ctl("lbl_BGM", 2), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(BgmKind, 2);
    ExpectOption(2);
    SendMessageA(Ctl("Img_BGM", 1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(Ctl("Img_BGM", 1), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(BgmKind, 1);
    ExpectOption(1);
    SendMessageA(Ctl("lbl_BGM", 0), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(BgmKind, 0);
    ExpectOption(0);
    SendMessageA(Ctl("Img_BGM", 0), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    ExpectOption(0);
    EXPECT_EQ(std::string(ReadBytes(ini)), "") << "selecting writes nothing";
}

TEST_F(SettingsDialog, ApplyWritesTheThreeKeysInOrder) {
    BgmKind = 1;
    BgmFile = u"C:\\Music\\a.mp3";
    Open();
    Click(Ctl("Cmd_Set"));
    EXPECT_FALSE(IsWindow(dialog));
    // The numbers are handed over as " 1" and " 0"; Wine's profile writer
    // drops the blank.
    EXPECT_EQ(ReadBytes(ini), "[Section]\r\n"
                              "BGM\x8B\xE6\x95\xAA=1\r\n"
                              "BGM\xD8\xCB\xDF\xB0\xC4=0\r\n"
                              "BGM\xCC\xA7\xB2\xD9=C:\\Music\\a.mp3\r\n");
    EXPECT_EQ(BgmTrack, 0);
}

TEST_F(SettingsDialog, ApplyTakesTheTrackTypedIntoTheCombo) {
    BgmKind = 1;
    Open();
    SetWindowTextA(Ctl("BGM_Repeat"), "7");
    Click(Ctl("Cmd_Set"));
    EXPECT_EQ(BgmTrack, 7);
    EXPECT_NE(ReadBytes(ini).find("BGM\xD8\xCB\xDF\xB0\xC4=7\r\n"), std::string::npos);

    BgmTrack = 3;
    Open();
    SetWindowTextA(Ctl("BGM_Repeat"), "abc");
    Click(Ctl("Cmd_Set"));
    EXPECT_EQ(BgmTrack, 0);
    EXPECT_NE(ReadBytes(ini).find("BGM\xD8\xCB\xDF\xB0\xC4=0\r\n"), std::string::npos);

    // Picking an item from the list works like typing it.
    Open();
    SendMessageA(Ctl("BGM_Repeat"), CB_SETCURSEL, 12, 0);
    Click(Ctl("Cmd_Set"));
    EXPECT_EQ(BgmTrack, 12);

    // The file reads back as it was applied.
    LoadSettings();
    EXPECT_EQ(BgmKind, 1);
    EXPECT_EQ(BgmTrack, 12);
}

TEST_F(SettingsDialog, ApplyThatCannotWriteSaysSoAndKeepsTheDialogOpen) {
    const std::string before = "[Section]\r\nBGM\x8B\xE6\x95\xAA=2\r\n";
    {
        FILE* f = std::fopen(ini.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(before.data(), 1, before.size(), f);
        std::fclose(f);
    }
    // Another program holds the file.
    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    BgmKind = 1;
    Open();
    std::string text;
    std::thread answer([&text] {
        for (int i = 0; i < 100; ++i) {
            if (HWND box = FindWindowA("#32770", "Velumira")) {
                char buf[1024] = {};
                GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
                text = buf;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(50);
        }
    });
    Click(Ctl("Cmd_Set"));
    answer.join();
    CloseHandle(held);
    // 設定ﾌｧｲﾙに書き込めませんでした。, the path, then ﾌｧｲﾙかﾌｫﾙﾀﾞが書き込み禁止か、
    // ほかのﾌﾟﾛｸﾞﾗﾑが使用中です。設定は変更されていません。
    EXPECT_EQ(text, "\x90\xdd\x92\xe8\xcc\xa7\xb2\xd9\x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82"
                    "\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42\n\n" +
                        ini +
                        "\n\n\xcc\xa7\xb2\xd9\x82\xa9\xcc\xab\xd9\xc0\xde\x82\xaa\x8f\x91\x82"
                        "\xab\x8d\x9e\x82\xdd\x8b\xd6\x8e\x7e\x82\xa9\x81\x41\x82\xd9\x82\xa9"
                        "\x82\xcc\xcc\xdf\xdb\xb8\xde\xd7\xd1\x82\xaa\x8e\x67\x97\x70\x92\x86"
                        "\x82\xc5\x82\xb7\x81\x42\x90\xdd\x92\xe8\x82\xcd\x95\xcf\x8d\x58\x82"
                        "\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42");
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(ReadBytes(ini), before) << "nothing half-written";

    // Once the file is free, the same apply writes and closes.
    Click(Ctl("Cmd_Set"));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_NE(ReadBytes(ini).find("BGM\x8B\xE6\x95\xAA=1\r\n"), std::string::npos);
}

TEST_F(SettingsDialog, CancelAndTheCloseBoxWriteNothing) {
    Open();
    SendMessageA(Ctl("lbl_BGM", 1), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(Ctl("lbl_BGM", 1), WM_LBUTTONUP, 0, 0);
    Click(Ctl("Cmd_Can"));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(BgmKind, 1) << "the option click still changed the setting in memory";

    Open();
    SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsDialog, EnterAndEscapeDoNotCloseIt) {
    Open();
    HWND combo = Ctl("BGM_Repeat");
    SendMessageA(Ctl("lbl_BGM", 1), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(Ctl("lbl_BGM", 1), WM_LBUTTONUP, 0, 0);
    SetFocus(combo);
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        MSG msg{GetFocus(), WM_KEYDOWN, key, 1, 0, {0, 0}};
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Pump();
        EXPECT_TRUE(IsWindow(dialog)) << key;
    }
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {

// The keyboard of the keyboard-only test: real key presses through the
// system's input queue, one each time the timer of the dialog's loop fires,
// after noting where the focus is.
struct KeyStep {
    const char* focus; // the control expected to hold the focus, "name(index)"
    WORD key;
    bool shift;
};

struct Keyboard {
    HWND dialog = nullptr;
    const KeyStep* steps = nullptr;
    size_t count = 0, next = 0;
    std::vector<std::string> focusSeen;
    std::vector<int> kindSeen;
};
Keyboard keyboard;

std::string FocusName(HWND dialog) {
    HWND focus = GetFocus();
    for (const FormControl& c : VelumiraPForm(UserLanguage()).controls) {
        HWND wnd = VelumiraPControl(dialog, c.name, c.index);
        if (wnd && (wnd == focus || IsChild(wnd, focus)) && c.kind != FormControlKind::Frame)
            return c.name + "(" + std::to_string(c.index) + ")";
    }
    return "?";
}

void Press(WORD key, bool shift) {
    std::vector<INPUT> in;
    auto add = [&in](WORD vk, DWORD flags) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
        i.ki.dwFlags = flags;
        in.push_back(i);
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void CALLBACK NextKey(HWND, UINT, UINT_PTR, DWORD) {
    Keyboard& k = keyboard;
    if (!IsWindow(k.dialog)) return;
    if (k.next == k.count) {
        PostMessageA(k.dialog, WM_CLOSE, 0, 0); // the last key did not close it
        return;
    }
    k.focusSeen.push_back(FocusName(k.dialog));
    k.kindSeen.push_back(BgmKind);
    const KeyStep& step = k.steps[k.next++];
    if (k.focusSeen.back() != step.focus) {
        PostMessageA(k.dialog, WM_CLOSE, 0, 0); // lost: stop typing
        return;
    }
    Press(step.key, step.shift);
}

} // namespace

TEST_F(SettingsDialog, UsableByKeyboardAlone) {
    // From a fresh dialog: Escape and Enter leave it open, Up chooses the
    // audio CD, Tab goes to its track, 3 is typed, Tab visits the link and
    // the two buttons, Shift+Tab goes back one, and Space on 設定 applies.
    const KeyStep steps[] = {
        {"lbl_BGM(0)", VK_ESCAPE, false}, {"lbl_BGM(0)", VK_RETURN, false},
        {"lbl_BGM(0)", VK_UP, false},     {"lbl_BGM(1)", VK_TAB, false},
        {"BGM_Repeat(-1)", '3', false},   {"BGM_Repeat(-1)", VK_TAB, false},
        {"lbl_URL(-1)", VK_TAB, false},   {"Cmd_Can(-1)", VK_TAB, false},
        {"Cmd_Set(-1)", VK_TAB, true},    {"Cmd_Can(-1)", VK_TAB, false},
        {"Cmd_Set(-1)", VK_SPACE, false},
    };
    Open();
    keyboard = Keyboard{};
    keyboard.dialog = dialog;
    keyboard.steps = steps;
    keyboard.count = std::size(steps);
    const UINT_PTR timer = SetTimer(nullptr, 0, 250, NextKey);
    RunVelumiraP(dialog);
    KillTimer(nullptr, timer);

    std::vector<std::string> expected;
    for (const KeyStep& step : steps)
        expected.push_back(step.focus);
    EXPECT_EQ(keyboard.focusSeen, expected);
    EXPECT_EQ(keyboard.kindSeen, (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_FALSE(IsWindow(dialog));
    LoadSettings();
    EXPECT_EQ(BgmKind, 1);
    EXPECT_EQ(BgmTrack, 3);
}

TEST_F(SettingsDialog, ArrowsGoRoundTheOptionsAndTheFocusGoesAlong) {
    BgmKind = 2;
    Open();
    HWND file = Ctl("lbl_BGM", 2);
    EXPECT_EQ(GetFocus(), file) << "the focus starts on the chosen option";
    EXPECT_TRUE(GetWindowLongA(file, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(Ctl("lbl_BGM", 0), GWL_STYLE) & WS_TABSTOP);
    auto key = [&](WORD vk) {
        MSG msg{GetFocus(), WM_KEYDOWN, vk, 1, 0, {0, 0}};
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Pump();
    };
    // Down and Right go round: MP3、WAV, 音楽CD, なし; Left and Up back.
    key(VK_DOWN);
    ExpectOption(1);
    EXPECT_EQ(GetFocus(), Ctl("lbl_BGM", 1));
    key(VK_RIGHT);
    ExpectOption(0);
    key(VK_LEFT);
    key(VK_UP);
    ExpectOption(2);
    EXPECT_EQ(GetFocus(), Ctl("lbl_BGM", 2));
    EXPECT_TRUE(GetWindowLongA(Ctl("lbl_BGM", 2), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(Ctl("lbl_BGM", 1), GWL_STYLE) & WS_TABSTOP);
    // A click elsewhere takes the focus along while it is in the group.
    SendMessageA(Ctl("Img_BGM", 0), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(GetFocus(), Ctl("lbl_BGM", 0));
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {

std::atomic<bool> applyPressed{false};

// Presses apply once the dialog of the modal loop is up.
void CALLBACK PressApply(HWND, UINT, UINT_PTR, DWORD) {
    HWND wnd = FindWindowA(nullptr, "<Velumira>");
    if (!wnd || applyPressed) return;
    applyPressed = true;
    Click(VelumiraPControl(wnd, "Cmd_Set"));
}

} // namespace

TEST_F(SettingsDialog, ShowReturnsWhenTheDialogCloses) {
    applyPressed = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, PressApply);
    ShowVelumiraP();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(applyPressed);
    EXPECT_EQ(FindWindowA(nullptr, "<Velumira>"), nullptr);
    EXPECT_NE(ReadBytes(ini).find("BGM\x8B\xE6\x95\xAA=0\r\n"), std::string::npos);
}

namespace {

// Answers the open-file dialog from another thread: records its title and
// folder, then either types `choice` and presses OK or cancels.
class ChooserDriver {
  public:
    explicit ChooserDriver(std::wstring choice) : choice_(std::move(choice)) {
        thread_ = std::thread([this] { Run(); });
    }
    ~ChooserDriver() {
        if (thread_.joinable()) thread_.join();
    }
    void Join() { thread_.join(); }
    std::string title;
    std::u16string folder;
    bool found = false;

  private:
    void Run() {
        HWND chooser = nullptr;
        for (int i = 0; i < 200 && !chooser; ++i) {
            chooser = FindWindowA(nullptr, kChooserTitle);
            if (!chooser) Sleep(50);
        }
        if (!chooser) return;
        found = true;
        Sleep(300); // let it finish filling its folder view
        title = WindowText(chooser);
        wchar_t path[MAX_PATH] = {};
        SendMessageW(chooser, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
        folder = FromWide(path);
        if (choice_.empty()) {
            PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        } else {
            HWND edit = GetDlgItem(chooser, 0x47C);       // cmb13, the file name box
            if (!edit) edit = GetDlgItem(chooser, 0x480); // edt1
            SetWindowTextW(edit, choice_.c_str());
            PostMessageA(chooser, WM_COMMAND, IDOK, 0);
        }
    }
    std::wstring choice_;
    std::thread thread_;
};

} // namespace

// Names outside the ANSI code page reach the settings and the path box as
// they are.
TEST_F(SettingsDialog, FileChooserSetsPathAndFolder) {
    const std::wstring folder = L"C:\\Música 한국", file = folder + L"\\노래 Café.mp3";
    CreateDirectoryW(folder.c_str(), nullptr);
    HANDLE f = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    const auto pathBox = [&] {
        wchar_t text[MAX_PATH] = {};
        GetWindowTextW(Ctl("lbl_Fname"), text, MAX_PATH);
        return FromWide(text);
    };

    BgmKind = 2;
    BgmFile = u"C:\\old.wav";
    Open();
    {
        ChooserDriver cancel(L"");
        Click(Ctl("Cmd_File"));
        cancel.Join();
        ASSERT_TRUE(cancel.found);
        EXPECT_EQ(cancel.title, kChooserTitle);
    }
    EXPECT_EQ(BgmFile, u"C:\\old.wav");
    EXPECT_EQ(pathBox(), u"C:\\old.wav");

    {
        ChooserDriver choose(file);
        Click(Ctl("Cmd_File"));
        choose.Join();
        ASSERT_TRUE(choose.found);
        EXPECT_EQ(choose.folder, HostFolder());
    }
    EXPECT_EQ(BgmFile, u"C:\\Música 한국\\노래 Café.mp3");
    EXPECT_EQ(pathBox(), BgmFile);
    EXPECT_EQ(BgmFolder, u"C:\\Música 한국");
    {
        ChooserDriver again(L"");
        Click(Ctl("Cmd_File"));
        again.Join();
        EXPECT_EQ(again.folder, BgmFolder) << "the next chooser opens where the last file was";
    }
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);

    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(SettingsDialog, ButtonsAnswerRealMouseAndKeyboard) {
    // Mouse press and release on cancel closes without writing.
    Open();
    HWND cancel = Ctl("Cmd_Can");
    RECT rc;
    GetClientRect(cancel, &rc);
    const LPARAM centre = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    SendMessageA(cancel, WM_MOUSEMOVE, 0, centre);
    SendMessageA(cancel, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageA(cancel, WM_LBUTTONUP, 0, centre);
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(GetFileAttributesA(ini.c_str()), INVALID_FILE_ATTRIBUTES);

    // Enter on the focused apply button applies, through the dialog manager.
    Open();
    HWND set = Ctl("Cmd_Set");
    SetFocus(set);
    MSG down{set, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    if (!IsDialogMessageA(dialog, &down)) {
        TranslateMessage(&down);
        DispatchMessageA(&down);
    }
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_NE(ReadBytes(ini).find("BGM\x8B\xE6\x95\xAA=0\r\n"), std::string::npos);
}

TEST_F(SettingsDialog, LinkShowsAHandAndAnimationStartsAtTheCursor) {
    SetCursorPos(40, 30);
    Open();
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(AnimOriginX, cursor.x);
    EXPECT_EQ(AnimOriginY, cursor.y);

    HWND link = Ctl("lbl_URL");
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    HWND other = Ctl("lbl", 7);
    SendMessageA(other, WM_SETCURSOR, reinterpret_cast<WPARAM>(other),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

namespace {

// A high-contrast scheme for every system colour, in colours that no fixed
// colour of the controls (black, white, greys, the XP blues and golds), nor
// a blend of two scheme colours, can pass for.
constexpr COLORREF kFace = RGB(0, 0, 96), kWindow = RGB(96, 0, 0), kText = RGB(255, 255, 0),
                   kWindowText = RGB(0, 255, 255), kHighlight = RGB(255, 0, 255),
                   kHotlight = RGB(0, 255, 0), kGrayText = RGB(255, 128, 0);
constexpr int kSystemColours = 31;

COLORREF SchemeColour(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return kWindow;
    case COLOR_WINDOWTEXT:
        return kWindowText;
    case COLOR_HIGHLIGHT:
    case COLOR_ACTIVECAPTION:
    case COLOR_MENUHILIGHT:
        return kHighlight;
    case COLOR_HOTLIGHT:
        return kHotlight;
    case COLOR_GRAYTEXT:
        return kGrayText;
    case COLOR_BTNTEXT:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_MENUTEXT:
    case COLOR_CAPTIONTEXT:
    case COLOR_INACTIVECAPTIONTEXT:
    case COLOR_INFOTEXT:
    case COLOR_WINDOWFRAME:
    case COLOR_BTNSHADOW:
    case COLOR_BTNHIGHLIGHT:
    case COLOR_3DDKSHADOW:
        return kText;
    default:
        return kFace;
    }
}

// The scheme in force while it lives, the user's colours back afterwards.
class HighContrastScheme {
  public:
    HighContrastScheme() {
        int index[kSystemColours];
        COLORREF colour[kSystemColours];
        for (int i = 0; i < kSystemColours; ++i) {
            index[i] = i;
            saved_[i] = GetSysColor(i);
            colour[i] = SchemeColour(i);
        }
        SetSysColors(kSystemColours, index, colour);
    }
    ~HighContrastScheme() {
        int index[kSystemColours];
        for (int i = 0; i < kSystemColours; ++i)
            index[i] = i;
        SetSysColors(kSystemColours, index, saved_);
    }
    HighContrastScheme(const HighContrastScheme&) = delete;
    HighContrastScheme& operator=(const HighContrastScheme&) = delete;

  private:
    COLORREF saved_[kSystemColours];
};

bool highContrast = false;
bool TestHighContrast() {
    return highContrast;
}

struct Shot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
};

// The dialog's client area as the screen shows it.
Shot Screenshot(HWND dialog) {
    RECT r;
    GetClientRect(dialog, &r);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&r), 2);
    Shot shot;
    shot.width = r.right - r.left;
    shot.height = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = shot.width;
    bi.bmiHeader.biHeight = -shot.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const auto* bgra = static_cast<const unsigned char*>(bits);
    for (int i = 0; i < shot.width * shot.height; ++i)
        shot.pixels.push_back(RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return shot;
}

// Kept beside the other screenshots for review.
void SaveBitmap(const Shot& shot, const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir = path;
    dir = dir.substr(0, dir.find_last_of('\\')) + "\\..\\..\\artifacts";
    CreateDirectoryA(dir.c_str(), nullptr);
    FILE* f = std::fopen((dir + "\\" + name).c_str(), "wb");
    if (!f) return;
    const DWORD size = static_cast<DWORD>(shot.pixels.size() * 4);
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + size;
    ih.biSize = sizeof ih;
    ih.biWidth = shot.width;
    ih.biHeight = -shot.height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&ih, sizeof ih, 1, f);
    for (COLORREF c : shot.pixels) {
        const unsigned char bgra[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        std::fwrite(bgra, 4, 1, f);
    }
    std::fclose(f);
}

// A scheme colour, or a blend of two (the edge of anti-aliased text).
bool OfTheScheme(COLORREF p, const std::vector<COLORREF>& scheme) {
    if (std::find(scheme.begin(), scheme.end(), p) != scheme.end()) return true;
    const int pc[3] = {GetRValue(p), GetGValue(p), GetBValue(p)};
    for (COLORREF a : scheme)
        for (COLORREF b : scheme) {
            const int ac[3] = {GetRValue(a), GetGValue(a), GetBValue(a)};
            const int bc[3] = {GetRValue(b), GetGValue(b), GetBValue(b)};
            int widest = 0;
            for (int k = 1; k < 3; ++k)
                if (std::abs(bc[k] - ac[k]) > std::abs(bc[widest] - ac[widest])) widest = k;
            if (bc[widest] == ac[widest]) continue;
            const double t = double(pc[widest] - ac[widest]) / (bc[widest] - ac[widest]);
            if (t < 0 || t > 1) continue;
            bool onLine = true;
            for (int k = 0; k < 3; ++k)
                onLine = onLine && std::abs(ac[k] + t * (bc[k] - ac[k]) - pc[k]) <= 3;
            if (onLine) return true;
        }
    return false;
}

} // namespace

// Wine cannot switch high contrast on, so the test answers for the system.
TEST_F(SettingsDialog, HighContrastDrawsInTheUsersColoursAlone) {
    BgmKind = 1;
    BgmFile = u"C:\\Music\\a.mp3";
    Open();
    Pump(300);
    const Shot before = Screenshot(dialog);
    ASSERT_GT(before.width, 0);
    {
        HighContrastScheme scheme;
        highContrast = true;
        SetHighContrastSource(TestHighContrast);
        SendMessageA(dialog, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        Pump(300);
        const std::vector<COLORREF> scheme8 = {kFace,      kWindow,   kText,    kWindowText,
                                               kHighlight, kHotlight, kGrayText};
        std::vector<COLORREF> seen;
        auto check = [&](const char* name) {
            const Shot shot = Screenshot(dialog);
            SaveBitmap(shot, name);
            size_t strays = 0;
            COLORREF firstStray = 0;
            for (COLORREF p : shot.pixels) {
                if (!OfTheScheme(p, scheme8) && strays++ == 0) firstStray = p;
                if (std::find(scheme8.begin(), scheme8.end(), p) != scheme8.end() &&
                    std::find(seen.begin(), seen.end(), p) == seen.end())
                    seen.push_back(p);
            }
            EXPECT_EQ(strays, 0u) << name << ": first stray colour 0x" << std::hex << firstStray;
        };
        check("velumira_p_high_contrast.bmp"); // the focus on the chosen option
        SetFocus(Ctl("Cmd_Set"));
        Pump(300);
        check("velumira_p_high_contrast_button.bmp");
        // The face, the text, the path box, the link and the disabled "..."
        // all show.
        for (COLORREF c : {kFace, kText, kWindow, kWindowText, kHotlight, kGrayText})
            EXPECT_NE(std::find(seen.begin(), seen.end(), c), seen.end()) << std::hex << c;
        SetFocus(Ctl("lbl_BGM", 1));

        highContrast = false;
    }
    // Off again, and the user's colours back: exactly the dialog as it was.
    SendMessageA(dialog, WM_SYSCOLORCHANGE, 0, 0);
    Pump(300);
    SetHighContrastSource(nullptr);
    const Shot after = Screenshot(dialog);
    EXPECT_TRUE(after.pixels == before.pixels);
}
