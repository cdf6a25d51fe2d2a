// Entry of Velumira.scr: the platform's side of HostMain.

#include "host_main.h"
#include "preview_win.h"
#include "saver_form_win.h"
#include "settings.h"
#include "texts/texts_win.h"
#include "velumira_p.h"

#include <windows.h>
#include <ole2.h>

namespace velumira {

namespace {

class WinHost : public HostPlatform {
  public:
    explicit WinHost(char mode) : mode_(mode) {}

    bool topLevelWindowExists(const char* title) override {
        return FindWindowA(nullptr, title) != nullptr;
    }
    bool showPreview(int32_t parent) override {
        OleInitialize(nullptr);
        // Handles are 32-bit values; widen them the way the platform does.
        return ShowPreviewWindow(HWND(LONG_PTR(parent))) != nullptr;
    }
    void createWorkFolder() override { CreateDirectoryA(kWorkFolder, nullptr); }
    void loadSettings() override { LoadSettings(); }
    bool rendererPresent() override { return FileExists(HostFolder() + kRendererFile); }
    const Texts& texts() override { return UserTexts(); }
    void messageBox(const char* text) override {
        MessageBoxW(nullptr, Wide(text).c_str(), Wide(UserTexts().appTitle).c_str(), MB_OK);
    }
    void runSettingsDialog() override {
        OleInitialize(nullptr);
        ShowVelumiraP();
    }
    void hideCursor() override { ShowCursor(FALSE); }
    bool loadSaverForm() override {
        return LoadSaverForm(mode_, BgmKind, BgmTrack, BgmFile, HostFolder());
    }

  private:
    char mode_;
};

} // namespace

} // namespace velumira

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace velumira;
    const std::string argument = ArgumentTextOf(GetCommandLineA());
    WinHost host(ModeLetter(argument));
    if (HostMain(argument, host) == HostRun::EndNow) return 0;
    // The preview draws between messages; the other modes' windows only
    // answer them.
    if (ModeLetter(argument) == 'P') return RunPreviewLoop();

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
