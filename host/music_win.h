#pragma once

#include "bgm.h"

namespace velumira {

// The platform's media services: mciSendStringA, mciGetErrorStringA,
// waveOutGetNumDevs and PlaySoundA.
class WinMusicPort : public MusicPort {
  public:
    uint32_t sendString(const char* command, char* reply, uint32_t replySize) override;
    bool errorString(uint32_t code, char* text, uint32_t textSize) override;
    uint32_t waveOutDeviceCount() override;
    void playSound(const char* name, uint32_t flags) override;
};

} // namespace velumira
