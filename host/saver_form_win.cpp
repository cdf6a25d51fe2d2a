#include "saver_form_win.h"

#include "bgm.h"
#include "bmp_file.h"
#include "host_main.h"
#include "music_win.h"
#include "physical_pixels_win.h"
#include "monitors/monitor_plan_win.h"
#include "saver.h"
#include "whole_file_win.h"

#include <memory>
#include <string>
#include <vector>

namespace velumira {

namespace {

constexpr char kFormClass[] = "Velumira_S";
constexpr char kDisplayClass[] = "Velumira_Display";
constexpr UINT kRendererEndedMessage = WM_APP + 1;

// Milliseconds since start-up that do not wrap after 49 days.
uint64_t Milliseconds() {
    static uint32_t last = GetTickCount();
    static uint64_t high = 0;
    const uint32_t now = GetTickCount();
    if (now < last) high += uint64_t(1) << 32;
    last = now;
    return high + now;
}

class SaverWindow : public SaverPlatform {
  public:
    SaverWindow(char mode, int16_t kind, int16_t track, const std::u16string& file,
                const std::u16string& hostFolder)
        : hostFolder_(hostFolder), bgm_(music_, track, file), form_(*this, bgm_, kind, file, mode) {
    }

    bool Create() {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &SaverWindow::Proc;
        wc.hInstance = instance;
        wc.lpszClassName = kFormClass;
        RegisterClassA(&wc);
        WNDCLASSA dc = {};
        dc.lpfnWndProc = DefWindowProcA;
        dc.hInstance = instance;
        dc.lpszClassName = kDisplayClass;
        RegisterClassA(&dc);

        // Never shown: a borderless popup, so its inner size is its size.
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kFormClass, kSaverCaption, WS_POPUP, 0, 0, 1, 1,
                                nullptr, nullptr, instance, this);
        if (!hwnd_) return false;
        display_ = CreateWindowExA(0, kDisplayClass, "Display", WS_CHILD, 0, 0, 1, 1, hwnd_,
                                   nullptr, instance, nullptr);
        SetTimer(hwnd_, UINT_PTR(SaverTimer::Timer3), kTimer3PeriodMs, nullptr);
        return true;
    }

    void Load() { form_.Load(); }

    // SaverPlatform
    // Every monitor, in physical pixels on any scale, at one moment: all
    // copies are made before any file is written.
    std::vector<std::string> captureDesktop() override {
        PhysicalPixelsScope physical;
        // The same plan the renderer covers the monitors by: the primary
        // first, each with the picture the renderer expects for it.
        const std::vector<MonitorShare> plan = PlanTheseMonitors();
        const MonitorShare& primaryMonitor = plan.front();
        SetWindowPos(hwnd_, nullptr, 0, 0, primaryMonitor.width, primaryMonitor.height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        RECT inner = {};
        GetClientRect(hwnd_, &inner);
        MoveWindow(display_, 0, 0, inner.right, inner.bottom, FALSE);
        const std::vector<MonitorShare> others(plan.begin() + 1, plan.end());
        RemoveMonitorPictures();

        HWND desktop = GetDesktopWindow();
        HDC screen = GetDC(desktop);
        if (image_) DeleteObject(image_);
        ScreenCopy primary;
        CopyScreenArea(screen, primaryMonitor.left, primaryMonitor.top, inner.right, inner.bottom,
                       primary);
        image_ = primary.image;
        std::vector<ScreenCopy> copies(others.size());
        for (size_t i = 0; i < others.size(); ++i)
            CopyScreenArea(screen, others[i].left, others[i].top, others[i].width, others[i].height,
                           copies[i]);
        ReleaseDC(desktop, screen);

        std::vector<std::string> written;
        if (WriteScreenCopy(primary, kSnapshotPath)) written.push_back(kSnapshotPath);
        for (size_t i = 0; i < others.size(); ++i) {
            if (WriteScreenCopy(copies[i], others[i].picturePath.c_str()))
                written.push_back(others[i].picturePath);
            DeleteObject(copies[i].image);
        }
        return written;
    }

    void removeFile(const std::string& path) override { RemoveFile(path); }

    void startRenderer() override {
        rendererPath_ = hostFolder_ + kRendererFile;
        renderer_ = StartProgram(rendererPath_);
        // Wakes the form as soon as the renderer's process ends, instead of at
        // the watch's next tick. The handle and the wait live as long as the
        // host.
        HANDLE wait = nullptr;
        if (renderer_)
            RegisterWaitForSingleObject(&wait, renderer_, &SaverWindow::RendererEnded, hwnd_,
                                        INFINITE, WT_EXECUTEONLYONCE);
    }

    bool rendererRunning() override {
        return renderer_ && WaitForSingleObject(renderer_, 0) == WAIT_TIMEOUT;
    }

    bool rendererWindowExists() override { return FindWindowA(nullptr, kRendererTitle) != nullptr; }

    void setTimerEnabled(SaverTimer timer, bool enabled) override {
        static const UINT periods[] = {0, kTimer1PeriodMs, kTimer2PeriodMs, kTimer3PeriodMs};
        if (enabled)
            SetTimer(hwnd_, UINT_PTR(timer), periods[int(timer)], nullptr);
        else
            KillTimer(hwnd_, UINT_PTR(timer));
    }

    void showCursor() override { ShowCursor(TRUE); }

    uint64_t nowMs() override { return Milliseconds(); }

    void unloadForm() override { End(); }

  private:
    // The ending sequence, whatever asked for it, then the process ends with
    // every host window.
    void End() {
        if (ending_) return;
        ending_ = true;
        form_.QueryUnload();
        ExitProcess(0);
    }

    // On a thread of the platform's pool: only hands the news to the form's thread.
    static VOID CALLBACK RendererEnded(PVOID form, BOOLEAN) {
        PostMessageA(HWND(form), kRendererEndedMessage, 0, 0);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, LONG_PTR(cs->lpCreateParams));
        }
        auto* self = reinterpret_cast<SaverWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
        switch (msg) {
        case WM_TIMER:
            switch (SaverTimer(wp)) {
            case SaverTimer::Timer1:
                self->form_.Timer1Tick();
                return 0;
            case SaverTimer::Timer2:
                self->form_.Timer2Tick();
                return 0;
            case SaverTimer::Timer3:
                self->form_.Timer3Tick();
                return 0;
            }
            break;
        case kRendererEndedMessage:
            self->form_.RendererEnded();
            return 0;
        case WM_CLOSE:
            self->End();
            return 0;
        case WM_ENDSESSION:
            if (wp) self->End();
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    std::u16string hostFolder_;
    std::u16string rendererPath_;
    WinMusicPort music_;
    Velumira_BGM bgm_;
    Velumira_S form_;
    HWND hwnd_ = nullptr;
    HWND display_ = nullptr;
    HBITMAP image_ = nullptr;   // Display's persistent image
    HANDLE renderer_ = nullptr; // the renderer's process
    bool ending_ = false;
};

} // namespace

bool CopyScreenArea(HDC screen, int left, int top, int width, int height, ScreenCopy& copy) {
    copy = ScreenCopy{};
    if (width <= 0 || height <= 0) return false;

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height; // bottom-up, as the file stores rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    copy.image = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &copy.bits, nullptr, 0);
    if (!copy.image || !copy.bits) return false;
    copy.width = width;
    copy.height = height;

    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, copy.image);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    return true;
}

bool WriteScreenCopy(const ScreenCopy& copy, const char* path) {
    // No picture: none at all rather than the last run's.
    if (!copy.bits) {
        RemoveFile(path);
        return false;
    }
    const auto headers = BmpHeaders24(copy.width, copy.height);
    const uint32_t pixels = BmpRowStride24(copy.width) * uint32_t(copy.height);
    return WriteWholeFile(path, {{headers.data(), uint32_t(headers.size())}, {copy.bits, pixels}});
}

bool CaptureScreenToFile(HDC screen, int width, int height, const char* path, HBITMAP& image) {
    if (image) DeleteObject(image);
    ScreenCopy copy;
    CopyScreenArea(screen, 0, 0, width, height, copy);
    image = copy.image;
    return WriteScreenCopy(copy, path);
}

void RemoveMonitorPictures() {
    const std::string folder = std::string(kWorkFolder) + "\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "Velumira_*.bmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (IsMonitorPictureName(found.cFileName)) DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

HANDLE StartProgram(const std::u16string& path) {
    const std::wstring program(path.begin(), path.end());
    std::vector<wchar_t> commandLine(path.begin(), path.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    // The program is named explicitly: an unquoted path with blanks would
    // otherwise let the platform try "C:\Program.exe" and the like first.
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return nullptr;
    // The system may let the saver take the foreground; the renderer, whose
    // window needs the keyboard, may then take it in its turn.
    AllowSetForegroundWindow(pi.dwProcessId);
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool LoadSaverForm(char modeLetter, int16_t bgmKind, int16_t bgmTrack,
                   const std::u16string& bgmFile, const std::u16string& hostFolder) {
    // Lives until the process ends.
    static std::unique_ptr<SaverWindow> form;
    form = std::make_unique<SaverWindow>(modeLetter, bgmKind, bgmTrack, bgmFile, hostFolder);
    if (!form->Create()) return false;
    form->Load();
    return true;
}

} // namespace velumira
