#pragma once

#include "bgm.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velumira {

enum class SaverTimer { Timer1 = 1, Timer2 = 2, Timer3 = 3 };

constexpr uint32_t kTimer1PeriodMs = 1000; // MP3 keep-playing
constexpr uint32_t kTimer2PeriodMs = 200;  // CD check
constexpr uint32_t kTimer3PeriodMs = 500;  // renderer watch

// How long the saver waits for a running renderer's window to appear for the
// first time. Without it a renderer that needs more than one watch period to
// open its window would be left running alone while the host ends and the
// music stops.
constexpr uint64_t kRendererStartGraceMs = 10000;

// Music file kind by the last three characters of its name, upper-cased.
enum class MusicFileKind { Other, Wav, Mp3 };
MusicFileKind MusicFileKindOf(const std::u16string& file);

// What the saver form needs from the platform.
class SaverPlatform {
  public:
    virtual ~SaverPlatform() = default;
    // Photographs the desktop into the pictures the renderer reads; returns
    // the files it wrote.
    virtual std::vector<std::string> captureDesktop() = 0;
    virtual void removeFile(const std::string& path) = 0;
    virtual void startRenderer() = 0;
    // True while the process startRenderer made has not ended: false when none
    // could be made, and false once it crashed, was killed or quit.
    virtual bool rendererRunning() = 0;
    virtual bool rendererWindowExists() = 0;
    virtual void setTimerEnabled(SaverTimer timer, bool enabled) = 0;
    virtual void showCursor() = 0;
    virtual uint64_t nowMs() = 0;
    // Unloads the form; the platform answers with queryUnload().
    virtual void unloadForm() = 0;
};

// The saver form Velumira_S without its window: load, timer and unload
// handlers. Timer3 is enabled from the form's creation.
class Velumira_S {
  public:
    Velumira_S(SaverPlatform& platform, Velumira_BGM& bgm, int16_t bgmKind, std::u16string bgmFile,
               char modeLetter);

    void Load();
    void Timer1Tick();
    void Timer2Tick();
    void Timer3Tick();
    // The platform saw the renderer's process end: the watch need not wait
    // for its next tick.
    void RendererEnded();
    // The ending sequence; the caller ends the process afterwards. It ends
    // with the removal of the pictures this run wrote: they show whatever was
    // on the screen, and nothing reads them once the renderer has started.
    void QueryUnload();

    bool TimerEnabled(SaverTimer timer) const;
    bool RendererSeen() const { return rendererSeen_; }

  private:
    void CaptureDesktop();
    void StartRenderer();
    void WatchRenderer();
    void SetTimer(SaverTimer timer, bool enabled);

    SaverPlatform& platform_;
    Velumira_BGM& bgm_;
    int16_t bgmKind_;
    std::u16string bgmFile_;
    char modeLetter_;
    bool timer1_ = false;
    bool timer2_ = false;
    bool timer3_ = true;
    bool rendererSeen_ = false;
    uint64_t rendererStartMs_ = 0;
    std::vector<std::string> pictures_; // written by this run
};

} // namespace velumira
