// Runs the real Velumira.scr as the platform would, in folders of its own, and
// watches it from outside: its windows, its message box, its exit.

#include "host_main.h"
#include "preview_cloth_win.h"
#include "scene/gl_window_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kHost = VELUMIRA_HOST_SCR;
const std::string kStandIn = VELUMIRA_STAND_IN;
const std::string kRoot = "C:\\velumira host e2e";

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Keeps the test's own windows answering while it waits.
template <class F> bool WaitFor(F done, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

// A folder with the host and, when asked, the stand-in renderer beside it.
std::string MakeFolder(const std::string& name, bool withRenderer) {
    CreateDirectoryA(kRoot.c_str(), nullptr);
    const std::string dir = kRoot + "\\" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    EXPECT_TRUE(CopyFileA(kHost.c_str(), (dir + "\\Velumira.scr").c_str(), FALSE));
    DeleteFileA((dir + "\\Velumira.dll").c_str());
    DeleteFileA((dir + "\\Velumira.ini").c_str());
    if (withRenderer) {
        EXPECT_TRUE(CopyFileA(kStandIn.c_str(), (dir + "\\Velumira.dll").c_str(), FALSE));
    }
    return dir;
}

struct Process {
    PROCESS_INFORMATION pi = {};
    bool ok = false;
    DWORD error = 0; // why it could not be started

    Process(const std::string& dir, const std::string& args) {
        std::string line = "\"" + dir + "\\Velumira.scr\"" + (args.empty() ? "" : " " + args);
        std::vector<char> buf(line.begin(), line.end());
        buf.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        ok = CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                            &si, &pi) != FALSE;
        if (!ok) error = GetLastError();
    }
    ~Process() {
        if (!ok) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 9);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    bool Exited(DWORD ms) {
        return WaitFor([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, ms);
    }
    DWORD ExitCode() {
        DWORD code = 1234;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
};

// A window of the test's own, gone when the test leaves its scope, even by a
// failed assertion, so that one failure cannot leave a marker behind for the
// next test's hosts to find.
struct OwnWindow {
    HWND hwnd;
    ~OwnWindow() {
        if (hwnd) DestroyWindow(hwnd);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
};

struct Found {
    DWORD pid;
    const char* className;
    HWND hwnd;
};

HWND WindowOfProcess(DWORD pid, const char* className) {
    Found f{pid, className, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
            auto* f = reinterpret_cast<Found*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            char cls[64] = {};
            GetClassNameA(hwnd, cls, sizeof cls);
            if (owner == f->pid && std::string(cls) == f->className && IsWindowVisible(hwnd)) {
                f->hwnd = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&f));
    return f.hwnd;
}

struct BoxContents {
    std::vector<std::string> texts;
    std::vector<HWND> buttons;
};

BoxContents ReadBox(HWND box) {
    BoxContents c;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM lp) CALLBACK -> BOOL {
            auto* c = reinterpret_cast<BoxContents*>(lp);
            char cls[64] = {}, text[512] = {};
            GetClassNameA(child, cls, sizeof cls);
            GetWindowTextA(child, text, sizeof text);
            if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child))
                c->buttons.push_back(child);
            else if (lstrcmpiA(cls, "Static") == 0 && text[0])
                c->texts.push_back(text);
            return TRUE;
        },
        LPARAM(&c));
    return c;
}

bool RendererWindow() {
    return FindWindowA(nullptr, "Velumira_VC") != nullptr;
}

void CloseRenderer() {
    if (HWND r = FindWindowA(nullptr, "Velumira_VC")) PostMessageA(r, WM_CLOSE, 0, 0);
    WaitFor([] { return !RendererWindow(); }, 5000);
}

class HostE2E : public testing::Test {
  protected:
    void SetUp() override { CloseRenderer(); }
    void TearDown() override { CloseRenderer(); }
};

TEST_F(HostE2E, MissingRendererShowsTheMessageWithOneButtonThenEnds) {
    const std::string dir = MakeFolder("no renderer", false);
    for (const char* args : {"/s", "/c"}) {
        Process host(dir, args);
        ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
        HWND box = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (box = WindowOfProcess(host.pi.dwProcessId, "#32770")); }, 10000))
            << args;
        const BoxContents c = ReadBox(box);
        ASSERT_EQ(c.texts.size(), 1u) << args;
        // "Velumira.dllが同じフォルダに見つかりません！" as code page 932 shows it.
        EXPECT_EQ(c.texts[0], "Velumira.dll\x82\xaa\x93\xaf\x82\xb6\x83\x74\x83\x48\x83\x8b\x83"
                              "\x5f\x82\xc9\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1"
                              "\x81\x49")
            << args;
        ASSERT_EQ(c.buttons.size(), 1u) << args;
        char caption[64] = {};
        GetWindowTextA(box, caption, sizeof caption);
        EXPECT_STREQ(caption, "Velumira");
        EXPECT_FALSE(FindWindowA(nullptr, velumira::kDialogCaption)) << args;

        SendMessageA(c.buttons[0], BM_CLICK, 0, 0);
        EXPECT_TRUE(host.Exited(5000)) << args;
        EXPECT_FALSE(RendererWindow());
    }
}

TEST_F(HostE2E, RunningSaverOrDialogMakesANewHostEndAtOnce) {
    const std::string dir = MakeFolder("second instance", true);
    for (const char* marker : {velumira::kSaverCaption, velumira::kDialogCaption}) {
        // Hidden, as the saver form is.
        const OwnWindow existing{CreateWindowExA(0, "STATIC", marker, WS_POPUP, 0, 0, 10, 10,
                                                 nullptr, nullptr, nullptr, nullptr)};
        ASSERT_TRUE(existing.hwnd);
        for (const char* args : {"/s", "/c", "/p 1234"}) {
            DeleteFileA("C:\\r_quil\\stand_in_command.txt");
            Process host(dir, args);
            ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
            EXPECT_TRUE(host.Exited(5000)) << marker << " " << args;
            EXPECT_EQ(host.ExitCode(), 0u);
            EXPECT_EQ(GetFileAttributesA("C:\\r_quil\\stand_in_command.txt"),
                      INVALID_FILE_ATTRIBUTES)
                << "renderer started for " << args;
        }
    }
}

TEST_F(HostE2E, UnknownModesEndSilently) {
    const std::string dir = MakeFolder("unknown modes", true);
    for (const char* args : {"/a", "s", "x"}) {
        Process host(dir, args);
        ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
        EXPECT_TRUE(host.Exited(5000)) << args;
        EXPECT_FALSE(WindowOfProcess(host.pi.dwProcessId, "#32770"));
        EXPECT_FALSE(RendererWindow());
    }
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Whether a window can have OpenGL here (a display without GLX gives none).
bool OpenGlHere() {
    GlWindow gl = {nullptr, nullptr, nullptr, nullptr};
    gl.window = CreateWindowExA(0, "STATIC", "gl probe", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                nullptr, nullptr);
    const bool here = attachContext(gl, scenePixelFormat(32));
    releaseContext(gl);
    DestroyWindow(gl.window);
    return here;
}

// Whether the preview should show the cloth (where there is OpenGL) or the
// still: the world says which it is, and the probe must agree, so that a
// failing OpenGL cannot pass for the fallback.
bool PreviewHasOpenGl() {
    const bool expected = !GetEnvironmentVariableA("VELUMIRA_WORLD_WITHOUT_OPENGL", nullptr, 0);
    EXPECT_EQ(OpenGlHere(), expected);
    return expected;
}

// A 152 x 112 preview area at 100, 100, as the display settings have one.
struct PreviewArea : OwnWindow {
    PreviewArea() : OwnWindow{nullptr} {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "HostE2EPreviewArea";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "area",
                               WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 152, 112, nullptr,
                               nullptr, nullptr, nullptr);
    }
};

HWND ShownPreviewIn(HWND area) {
    HWND preview = nullptr;
    WaitFor(
        [&] {
            preview = FindWindowExA(area, nullptr, nullptr, "Preview Window");
            return preview && IsWindowVisible(preview);
        },
        10000);
    return preview;
}

// What the preview shows, the cloth where there is OpenGL, else the still,
// once it shows that alone; null until then. (Where OpenGL fails, the cloth's
// window is made and gone again before the still's.)
HWND PreviewContent(HWND preview, bool openGl) {
    if (FindWindowExA(preview, nullptr, nullptr, openGl ? "Img_Prev" : "Pic_Prev")) return nullptr;
    return FindWindowExA(preview, nullptr, nullptr, openGl ? "Pic_Prev" : "Img_Prev");
}

TEST_F(HostE2E, PreviewFillsTheGivenWindowAndEndsWithIt) {
    const std::string dir = MakeFolder("preview", false); // the preview needs no renderer
    const bool openGl = PreviewHasOpenGl();
    for (const char* form : {"/p %u", "/p:%u", "/p &H%X"}) {
        PreviewArea owned;
        const HWND area = owned.hwnd;
        ASSERT_TRUE(area);
        char args[64];
        wsprintfA(args, form, unsigned(UINT_PTR(area)));
        Process host(dir, args);
        ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
        const HWND preview = ShownPreviewIn(area);
        ASSERT_TRUE(preview) << args;
        EXPECT_TRUE(GetWindowLongA(preview, GWL_STYLE) & WS_CHILD);
        RECT r = {};
        GetWindowRect(preview, &r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.top, 100);
        EXPECT_EQ(r.right - r.left, 152);
        EXPECT_EQ(r.bottom - r.top, 112);
        HWND content = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (content = PreviewContent(preview, openGl)); }, 5000));
        ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(content); }, 5000));
        GetWindowRect(content, &r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.top, 100);
        EXPECT_EQ(r.right - r.left, 152);
        EXPECT_EQ(r.bottom - r.top, 112);

        EXPECT_FALSE(host.Exited(300));
        DestroyWindow(area);
        owned.hwnd = nullptr;
        EXPECT_TRUE(host.Exited(2000)) << args;
    }
}

// The working folder set aside while a host runs, so that its making would
// show; put back afterwards whatever happens.
struct WorkFolderAside {
    bool moved = MoveFileA("C:\\r_quil", "C:\\r_quil aside") != FALSE;
    ~WorkFolderAside() {
        if (moved) MoveFileA("C:\\r_quil aside", "C:\\r_quil");
    }
};

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

// Where the preview can have OpenGL, its cloth moves: frames come at the
// display's pace and show something else a second later. Where not, it shows
// the still. Either way nothing else of the host runs.
TEST_F(HostE2E, PreviewSwingsTheClothAndStartsNothingElse) {
    const std::string dir = MakeFolder("preview moving", true);
    const bool openGl = PreviewHasOpenGl();
    const std::vector<std::string> files = FilesIn(dir);
    PreviewArea area;
    ASSERT_TRUE(area.hwnd);
    WorkFolderAside aside;
    ASSERT_TRUE(aside.moved);
    char args[64];
    wsprintfA(args, "/p %u", unsigned(UINT_PTR(area.hwnd)));
    Process host(dir, args);
    ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
    const HWND preview = ShownPreviewIn(area.hwnd);
    ASSERT_TRUE(preview);
    HWND content = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (content = PreviewContent(preview, openGl)); }, 5000));

    if (openGl) {
        const UINT query = RegisterWindowMessageA(velumira::kPreviewFrameQuery);
        auto ask = [&](WPARAM what) {
            DWORD_PTR answer = 0;
            EXPECT_TRUE(
                SendMessageTimeoutA(content, query, what, 0, SMTO_ABORTIFHUNG, 5000, &answer));
            return answer;
        };
        ask(velumira::kFrameDigest);
        WaitFor([] { return false; }, 500);
        const DWORD start = GetTickCount();
        const DWORD_PTR frames = ask(velumira::kFramesDrawn);
        const DWORD_PTR digest = ask(velumira::kFrameDigest);
        WaitFor([] { return false; }, 1000);
        const DWORD_PTR framesLater = ask(velumira::kFramesDrawn);
        const DWORD elapsedMs = GetTickCount() - start;
        EXPECT_NE(digest, 0u);
        EXPECT_NE(ask(velumira::kFrameDigest), digest);
        // Frames keep coming, and no more of them than the display shows.
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        const DWORD hz = mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 60;
        EXPECT_GE(framesLater, frames + 2);
        EXPECT_LE(framesLater - frames, hz * (elapsedMs + 100) / 1000 + 2);
    } else {
        WaitFor([] { return false; }, 1500);
    }
    EXPECT_EQ(PreviewContent(preview, openGl), content);
    EXPECT_TRUE(IsWindowVisible(content));
    EXPECT_FALSE(RendererWindow());
    EXPECT_FALSE(FindWindowA(nullptr, velumira::kSaverCaption));

    DestroyWindow(area.hwnd);
    area.hwnd = nullptr;
    EXPECT_TRUE(host.Exited(2000));
    EXPECT_EQ(GetFileAttributesA("C:\\r_quil"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FilesIn(dir), files);
}

TEST_F(HostE2E, PreviewWithoutAWindowStillEnds) {
    const std::string dir = MakeFolder("preview nothing", false);
    Process host(dir, "/p");
    ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
    EXPECT_TRUE(host.Exited(5000));
}

HWND ChildWithText(HWND parent, const std::string& text) {
    struct Search {
        std::string text;
        HWND found;
    } search{text, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            char buf[64] = {};
            GetWindowTextA(child, buf, sizeof buf);
            if (s->text == buf && IsWindowVisible(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&search));
    return search.found;
}

void ClickAt(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    Sleep(100);
    SendInput(1, &in[1], sizeof(INPUT));
}

TEST_F(HostE2E, SettingsModeOpensTheDialogWhoseApplyWritesTheSettingsFile) {
    const std::string dir = MakeFolder("settings", true);
    const std::string ini = dir + "\\Velumira.ini";
    Process host(dir, "/c:1234");
    ASSERT_TRUE(host.ok) << "CreateProcess error " << host.error;
    HWND dialog = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (dialog = FindWindowA(nullptr, velumira::kDialogCaption)); }, 15000));
    EXPECT_FALSE(RendererWindow()); // the settings mode starts nothing else
    HWND apply = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (apply = ChildWithText(dialog, "\x90\xDD\x92\xE8")); }, 5000))
        << "no button captioned \x90\xDD\x92\xE8"; // 設定
    WaitFor([] { return false; }, 500);
    ClickAt(apply);
    ASSERT_TRUE(
        WaitFor([&] { return GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000));
    char kind[16] = {};
    // "BGM区分": written as a number.
    GetPrivateProfileStringA("Section", "BGM\x8b\xe6\x95\xaa", "?", kind, sizeof kind, ini.c_str());
    EXPECT_STRNE(kind, "?");
    if (IsWindow(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(host.Exited(5000));
    EXPECT_EQ(host.ExitCode(), 0u);
}

} // namespace
