#pragma once

#include "bgm.h"

namespace velumira {

// The platform's media services: mciSendStringW, mciGetErrorStringW,
// waveOutGetNumDevs and PlaySoundW.
class WinMusicPort : public MusicPort {
  public:
    uint32_t sendString(const char16_t* command, char16_t* reply, uint32_t replySize) override;
    bool errorString(uint32_t code, char16_t* text, uint32_t textSize) override;
    uint32_t waveOutDeviceCount() override;
    void playSound(const char16_t* name, uint32_t flags) override;
};

} // namespace velumira
