#pragma once

#include <cstdint>
#include <string>

namespace velumira {

// The door through which the music module reaches the platform's media
// services. Every MCI command string passes through sendString, so a test can
// record exactly what is sent; the Windows side forwards to mciSendStringA.
class MusicPort {
  public:
    virtual ~MusicPort() = default;
    virtual uint32_t sendString(const char* command, char* reply, uint32_t replySize) = 0;
    virtual bool errorString(uint32_t code, char* text, uint32_t textSize) = 0;
    virtual uint32_t waveOutDeviceCount() = 0;
    virtual void playSound(const char* name, uint32_t flags) = 0;
};

constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndLoop = 0x0008;

// "コマンド文字列が指定されていません"
extern const char kNoCommandText[];
// "Error (文字列が取れません)"
extern const char kNoErrorText[];

// The music module Velumira_BGM: a small MCI command layer and the routines
// that start, keep playing and stop each kind of music.
class Velumira_BGM {
  public:
    // track and file are the music settings BgmTrack and BgmFile.
    Velumira_BGM(MusicPort& port, int16_t track, std::string file);

    void MciCommand(const std::string& command);
    int32_t MciSend(const std::string& command, std::string& text);
    std::string MciStatus(const std::string& command);
    int32_t MciPlay(const std::string& device, const std::string& from, const std::string& to);

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
    std::string file_;
    // Module-level buffers, reused by every call; sizes are what the platform
    // is told.
    char reply_[512] = {};
    char errorText_[256] = {};
    char cdMode_[255] = {};
    char mp3Mode_[30] = {};
};

} // namespace velumira
