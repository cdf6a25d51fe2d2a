#pragma once

#include <cstdint>
#include <string>

namespace velumira {

// The door through which the music module reaches the platform's media
// services. Every MCI command string passes through sendString, so a test can
// record exactly what is sent; the Windows side forwards to mciSendStringW.
// Text is UTF-16 throughout, so a music file's path reaches the platform as
// the user chose it; sizes count characters.
class MusicPort {
  public:
    virtual ~MusicPort() = default;
    virtual uint32_t sendString(const char16_t* command, char16_t* reply, uint32_t replySize) = 0;
    virtual bool errorString(uint32_t code, char16_t* text, uint32_t textSize) = 0;
    virtual uint32_t waveOutDeviceCount() = 0;
    virtual void playSound(const char16_t* name, uint32_t flags) = 0;
};

constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndLoop = 0x0008;

extern const char16_t kNoCommandText[]; // "コマンド文字列が指定されていません"
extern const char16_t kNoErrorText[];   // "Error (文字列が取れません)"

// The music module Velumira_BGM: a small MCI command layer and the routines
// that start, keep playing and stop each kind of music.
class Velumira_BGM {
  public:
    // track and file are the music settings BgmTrack and BgmFile.
    Velumira_BGM(MusicPort& port, int16_t track, std::u16string file);

    void MciCommand(const std::u16string& command);
    int32_t MciSend(const std::u16string& command, std::u16string& text);
    std::u16string MciStatus(const std::u16string& command);
    int32_t MciPlay(const std::u16string& device, const std::u16string& from,
                    const std::u16string& to);

    void CdOpen();
    void CdTick();
    void CdClose();

    void Mp3OpenPlay();
    bool Mp3IsPlaying();
    void Mp3KeepPlaying();
    void Mp3Stop();

    void WavPlay();
    void WavStop();

    bool CdActive = false;

  private:
    MusicPort& port_;
    int16_t track_;
    std::u16string file_;
    // Module-level buffers, reused by every call; sizes are what the platform
    // is told.
    char16_t reply_[512] = {};
    char16_t errorText_[256] = {};
    char16_t cdMode_[255] = {};
    char16_t mp3Mode_[30] = {};
};

} // namespace velumira
