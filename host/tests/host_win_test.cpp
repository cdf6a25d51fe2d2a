// The host's Windows pieces in this process: the real media services behind
// the music module, the desktop snapshot and the preview window.

#include "bgm.h"
#include "music_win.h"
#include "physical_pixels_win.h"
#include "preview_cloth_win.h"
#include "preview_win.h"
#include "saver_form_win.h"
#include "settings_core.h"
#include "whole_file_win.h"

#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace velumira;

namespace {

// Passes everything to the real services and keeps what went through.
struct RecordingPort : MusicPort {
    WinMusicPort real;
    std::vector<std::u16string> sent;
    std::vector<uint32_t> codes;
    uint32_t sendString(const char16_t* command, char16_t* reply, uint32_t size) override {
        sent.push_back(command);
        codes.push_back(real.sendString(command, reply, size));
        return codes.back();
    }
    bool errorString(uint32_t code, char16_t* text, uint32_t size) override {
        return real.errorString(code, text, size);
    }
    uint32_t waveOutDeviceCount() override { return real.waveOutDeviceCount(); }
    void playSound(const char16_t* name, uint32_t flags) override { real.playSound(name, flags); }
};

TEST(RealMci, UnopenedDeviceGivesAnErrorMarkerAndItsDescription) {
    RecordingPort port;
    Velumira_BGM bgm(port, 0, u"");
    const std::u16string status = bgm.MciStatus(u"status MP3Play mode");
    EXPECT_EQ(status.rfind(u"Error:", 0), 0u) << AsciiOf(status);
    EXPECT_NE(status, u"Error:0");
    std::u16string text;
    EXPECT_NE(bgm.MciSend(u"status MP3Play mode", text), 0);
    EXPECT_FALSE(text.empty());
}

TEST(RealMci, AudioCdWithoutADiscStopsItsChecks) {
    RecordingPort port;
    Velumira_BGM bgm(port, 0, u"");
    bgm.CdOpen();
    bgm.CdTick();
    EXPECT_FALSE(bgm.CdActive);
    ASSERT_GE(port.sent.size(), 3u);
    EXPECT_EQ(port.sent[0], u"open cdaudio");
    EXPECT_EQ(port.sent[1], u"set cdaudio time format tmsf");
    EXPECT_EQ(port.sent[2], u"status cdaudio current track");
    bgm.CdClose();
}

TEST(RealMci, Mp3ThatCannotBeOpenedIsNeverPlayed) {
    RecordingPort port;
    Velumira_BGM bgm(port, 0, u"C:\\no such folder\\missing.mp3");
    bgm.Mp3OpenPlay();
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_NE(port.codes[0], 0u);
    bgm.Mp3KeepPlaying(); // keeps trying, silently
    EXPECT_EQ(port.sent.back(), u"play MP3Play from 0");
    bgm.Mp3Stop();
    EXPECT_EQ(port.sent.back(), u"close MP3Play");
}

TEST(RealMci, WavPlaysAndStopsWithoutComplaint) {
    RecordingPort port;
    Velumira_BGM bgm(port, 0, u"C:\\windows\\media\\none.wav");
    bgm.WavPlay();
    bgm.WavStop();
    EXPECT_TRUE(port.sent.empty());
}

std::vector<unsigned char> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Get32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND ColourWindow(const char* cls, COLORREF colour, int x, int y, int w, int h, DWORD style) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hbrBackground = CreateSolidBrush(colour);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_TOPMOST, cls, cls, WS_POPUP | WS_VISIBLE | style, x, y, w, h,
                           nullptr, nullptr, nullptr, nullptr);
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

TEST(Snapshot, WholeScreenIsWrittenAsA24BitBitmapReplacingTheOldFile) {
    const char* path = "C:\\r_quil\\snapshot_test.bmp";
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(20'000'000, 'x'); // longer than the new file
    }
    HWND red = ColourWindow("SnapshotRed", RGB(255, 0, 0), 0, 0, 64, 48, 0);
    ASSERT_TRUE(red);
    PumpFor(300);

    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(GetDesktopWindow());
    HBITMAP image = nullptr;
    EXPECT_TRUE(CaptureScreenToFile(screen, w, h, path, image));
    ReleaseDC(GetDesktopWindow(), screen);
    DestroyWindow(red);
    EXPECT_TRUE(image);
    DeleteObject(image);

    const auto bytes = ReadFile(path);
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    ASSERT_EQ(bytes.size(), 54u + stride * uint32_t(h));
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(Get32(&bytes[18]), uint32_t(w));
    EXPECT_EQ(Get32(&bytes[22]), uint32_t(h));
    // Top-left pixel lives in the last row of a bottom-up file: red, as BGR.
    const unsigned char* topLeft = &bytes[54 + stride * uint32_t(h - 1)];
    EXPECT_EQ(topLeft[0], 0);
    EXPECT_EQ(topLeft[1], 0);
    EXPECT_EQ(topLeft[2], 255);
    DeleteFileA(path);
}

TEST(Snapshot, UnwritableFolderIsReportedNotHidden) {
    HDC screen = GetDC(nullptr);
    HBITMAP image = nullptr;
    EXPECT_FALSE(CaptureScreenToFile(screen, 16, 16, "C:\\no such folder\\x.bmp", image));
    ReleaseDC(nullptr, screen);
    DeleteObject(image);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The platform refusing the rename (a folder in the file's place; failures to
// create and to write are run end to end), and a read-only old file, replaced
// all the same.
TEST(WholeFile, RealFailuresLeaveNoHalfFileAndReadOnlyIsNoObstacle) {
    const std::string path = "C:\\r_quil\\whole_file_test.bmp", pending = PendingNameOf(path);
    const char data[] = "new";
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_FALSE(WriteWholeFile(path, {{data, 3}}));
    EXPECT_FALSE(Exists(pending));
    RemoveDirectoryA(path.c_str());

    std::ofstream(path, std::ios::binary) << "old";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(WriteWholeFile(path, {{data, 3}}));
    EXPECT_EQ(ReadFile(path.c_str()), std::vector<unsigned char>(data, data + 3));
    EXPECT_FALSE(Exists(pending));
    DeleteFileA(path.c_str());
}

TEST(Snapshot, OtherMonitorsAreCopiedFromTheirOwnCornerAndOldPicturesGo) {
    // Any area of the desktop, as for a monitor right of or below the primary.
    HWND green = ColourWindow("SnapshotGreen", RGB(0, 255, 0), 100, 60, 32, 24, 0);
    ASSERT_TRUE(green);
    PumpFor(300);
    HDC screen = GetDC(GetDesktopWindow());
    ScreenCopy copy;
    ASSERT_TRUE(CopyScreenArea(screen, 100, 60, 32, 24, copy));
    ReleaseDC(GetDesktopWindow(), screen);
    DestroyWindow(green);
    EXPECT_EQ(copy.width, 32);
    EXPECT_EQ(copy.height, 24);
    // Bottom-up rows of 32 * 3 bytes: the first pixel of the last row is the
    // area's top-left corner, the last of the first row its bottom-right.
    const auto* bits = static_cast<const unsigned char*>(copy.bits);
    for (const unsigned char* p : {bits + 23 * 96, bits + 96 - 3}) {
        EXPECT_EQ(p[0], 0);
        EXPECT_EQ(p[1], 255);
        EXPECT_EQ(p[2], 0);
    }
    DeleteObject(copy.image);

    // Only the pictures of other monitors go, whatever layout made them.
    const char* names[] = {"Velumira_1024_0_800x600.bmp", "Velumira_-1280_-56_1280x1024.bmp",
                           "Velumira_notes.bmp", "Velumira.bmp.keep"};
    for (const char* name : names)
        std::ofstream(std::string("C:\\r_quil\\") + name) << "x";
    RemoveMonitorPictures();
    for (int i = 0; i < 4; ++i) {
        const std::string path = std::string("C:\\r_quil\\") + names[i];
        EXPECT_EQ(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES, i >= 2) << path;
        DeleteFileA(path.c_str());
    }
}

TEST(Snapshot, CopiesInPhysicalPixelsFromAnUnawareThread) {
    using Set = void*(WINAPI*)(void*);
    using Get = void*(WINAPI*)();
    using AwarenessOf = int(WINAPI*)(void*);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto function = [user32](const char* name) {
        return reinterpret_cast<void (*)()>(GetProcAddress(user32, name));
    };
    auto set = reinterpret_cast<Set>(function("SetThreadDpiAwarenessContext"));
    auto get = reinterpret_cast<Get>(function("GetThreadDpiAwarenessContext"));
    auto awarenessOf =
        reinterpret_cast<AwarenessOf>(function("GetAwarenessFromDpiAwarenessContext"));
    if (!set || !get || !awarenessOf) GTEST_SKIP() << "no per-thread DPI awareness here";
    // As a program without the host's manifest runs on Windows (Wine calls
    // every program aware).
    void* before = set(reinterpret_cast<void*>(intptr_t(-1)));
    ASSERT_EQ(awarenessOf(get()), 0); // unaware
    {
        PhysicalPixelsScope physical;
        EXPECT_EQ(awarenessOf(get()), 2); // per monitor
    }
    EXPECT_EQ(awarenessOf(get()), 0);
    set(before);
}

TEST(Renderer, ProgramThatCannotStartIsReported) {
    EXPECT_FALSE(StartProgram(u"C:\\no such folder\\Velumira.dll"));
}

TEST(Preview, PictureIsTheBuiltIn152By112Jpeg) {
    HBITMAP picture = LoadPreviewPicture();
    ASSERT_TRUE(picture);
    BITMAP bm = {};
    ASSERT_TRUE(GetObjectA(picture, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 152);
    EXPECT_EQ(bm.bmHeight, 112);
    DeleteObject(picture);
}

// Where there is OpenGL, as in this world, the preview shows the swinging
// cloth in Pic_Prev; the still in Img_Prev is the end-to-end tests' concern
// on a display without it.
TEST(Preview, WindowBecomesAChildFillingItsParentWithTheCloth) {
    HWND area =
        ColourWindow("PreviewArea", RGB(255, 255, 255), 200, 150, 200, 150, WS_CLIPCHILDREN);
    ASSERT_TRUE(area);
    HWND preview = ShowPreviewWindow(area);
    ASSERT_TRUE(preview);
    EXPECT_EQ(GetParent(preview), area);
    const LONG style = GetWindowLongA(preview, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(IsWindowVisible(preview));
    char caption[32] = {};
    GetWindowTextA(preview, caption, sizeof caption);
    EXPECT_STREQ(caption, "Preview Window");
    RECT r;
    GetClientRect(preview, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 150);
    EXPECT_FALSE(FindWindowExA(preview, nullptr, nullptr, "Img_Prev"));
    HWND cloth = FindWindowExA(preview, nullptr, nullptr, "Pic_Prev");
    ASSERT_TRUE(cloth);
    EXPECT_TRUE(IsWindowVisible(cloth));
    GetClientRect(cloth, &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 150);

    // A few frames as the host's loop draws them. Wine composes no OpenGL
    // child on the screen, and shows a child's frame by copying it out of the
    // back buffer, which therefore still holds the last one.
    const DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until) {
        PumpFor(0);
        PreviewClothIdle();
    }
    std::vector<unsigned char> pixels(200 * 150 * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, 200, 150, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The desktop picture on the cloth: its teal backdrop and its white window.
    int teal = 0, white = 0;
    for (int y = 30; y < 120; y += 15)
        for (int x = 30; x < 170; x += 15) {
            const unsigned char* c = &pixels[(y * 200 + x) * 4];
            if (c[2] > c[0] + 40 && c[1] > c[0] + 20) ++teal;
            if (c[0] > 200 && c[1] > 200 && c[2] > 200) ++white;
        }
    EXPECT_GT(teal, 10);
    EXPECT_GT(white, 5);

    // Going with the parent closes the hidden application window, which ends
    // the message loop.
    DestroyWindow(area);
    EXPECT_FALSE(IsWindow(preview));
    MSG msg;
    bool quit = false;
    const DWORD start = GetTickCount();
    while (!quit && GetTickCount() - start < 3000) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quit = true;
            DispatchMessageA(&msg);
        } else {
            Sleep(10);
        }
    }
    EXPECT_TRUE(quit);
}

} // namespace
