#include "music_win.h"

#include <windows.h>
#include <mmsystem.h>

namespace velumira {

uint32_t WinMusicPort::sendString(const char* command, char* reply, uint32_t replySize) {
    return mciSendStringA(command, reply, replySize, nullptr);
}

bool WinMusicPort::errorString(uint32_t code, char* text, uint32_t textSize) {
    return mciGetErrorStringA(code, text, textSize) != FALSE;
}

uint32_t WinMusicPort::waveOutDeviceCount() {
    return waveOutGetNumDevs();
}

void WinMusicPort::playSound(const char* name, uint32_t flags) {
    PlaySoundA(name, nullptr, flags);
}

} // namespace velumira
