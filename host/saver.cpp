#include "saver.h"

#include "settings_core.h"

#include <utility>

namespace velumira {

MusicFileKind MusicFileKindOf(const std::u16string& file) {
    std::u16string tail = file.size() > 3 ? file.substr(file.size() - 3) : file;
    for (char16_t& c : tail)
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    if (tail == u"WAV") return MusicFileKind::Wav;
    if (tail == u"MP3") return MusicFileKind::Mp3;
    return MusicFileKind::Other;
}

Velumira_S::Velumira_S(SaverPlatform& platform, Velumira_BGM& bgm, int16_t bgmKind,
                       std::u16string bgmFile, char modeLetter)
    : platform_(platform), bgm_(bgm), bgmKind_(bgmKind), bgmFile_(std::move(bgmFile)),
      modeLetter_(modeLetter) {}

bool Velumira_S::TimerEnabled(SaverTimer timer) const {
    switch (timer) {
    case SaverTimer::Timer1:
        return timer1_;
    case SaverTimer::Timer2:
        return timer2_;
    case SaverTimer::Timer3:
        return timer3_;
    }
    return false;
}

void Velumira_S::SetTimer(SaverTimer timer, bool enabled) {
    switch (timer) {
    case SaverTimer::Timer1:
        timer1_ = enabled;
        break;
    case SaverTimer::Timer2:
        timer2_ = enabled;
        break;
    case SaverTimer::Timer3:
        timer3_ = enabled;
        break;
    }
    platform_.setTimerEnabled(timer, enabled);
}

void Velumira_S::Load() {
    // The snapshot is complete on disk before the renderer that reads it runs.
    CaptureDesktop();
    StartRenderer();
    if (bgmKind_ == kBgmCd) {
        bgm_.CdOpen();
        SetTimer(SaverTimer::Timer2, true);
    } else if (bgmKind_ == kBgmFile) {
        switch (MusicFileKindOf(bgmFile_)) {
        case MusicFileKind::Wav:
            bgm_.WavPlay();
            break;
        case MusicFileKind::Mp3:
            bgm_.Mp3OpenPlay();
            SetTimer(SaverTimer::Timer1, true);
            break;
        case MusicFileKind::Other:
            break;
        }
    }
}

void Velumira_S::CaptureDesktop() {
    pictures_ = platform_.captureDesktop();
}

void Velumira_S::StartRenderer() {
    platform_.startRenderer();
    rendererStartMs_ = platform_.nowMs();
}

void Velumira_S::Timer1Tick() {
    bgm_.Mp3KeepPlaying();
}

void Velumira_S::Timer2Tick() {
    bgm_.CdTick();
    SetTimer(SaverTimer::Timer2, bgm_.CdActive);
}

void Velumira_S::Timer3Tick() {
    WatchRenderer();
}

void Velumira_S::RendererEnded() {
    if (timer3_) WatchRenderer();
}

void Velumira_S::WatchRenderer() {
    if (platform_.rendererWindowExists()) {
        rendererSeen_ = true;
        return;
    }
    // A renderer that is running but has not opened its window yet gets a
    // bounded time to do so. One whose process is gone never will, and once
    // its window has been seen, its absence ends the saver at once.
    if (!rendererSeen_ && platform_.rendererRunning() &&
        platform_.nowMs() - rendererStartMs_ < kRendererStartGraceMs)
        return;
    SetTimer(SaverTimer::Timer3, false);
    platform_.unloadForm();
}

void Velumira_S::QueryUnload() {
    if (timer2_) {
        SetTimer(SaverTimer::Timer2, false);
        bgm_.CdClose();
    }
    if (bgmKind_ == kBgmFile) {
        switch (MusicFileKindOf(bgmFile_)) {
        case MusicFileKind::Wav:
            bgm_.WavStop();
            break;
        case MusicFileKind::Mp3:
            bgm_.Mp3Stop();
            break;
        case MusicFileKind::Other:
            break;
        }
    }
    // Undoes the one hide of the saver mode; an empty command line never hid it.
    if (modeLetter_ == 'S') platform_.showCursor();
    for (const std::string& picture : pictures_)
        platform_.removeFile(picture);
    pictures_.clear();
}

} // namespace velumira
