#include "music_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

namespace velumira {

namespace {

// The platform's wide strings are UTF-16 under another type.
std::wstring Wide(const char16_t* text) {
    return std::wstring(text, text + std::char_traits<char16_t>::length(text));
}

// Hands a reply over into `out`, `size` characters at most, as the platform
// wrote it.
void CopyReply(const std::vector<wchar_t>& reply, char16_t* out, uint32_t size) {
    for (uint32_t i = 0; i < size; ++i)
        out[i] = char16_t(reply[i]);
}

} // namespace

uint32_t WinMusicPort::sendString(const char16_t* command, char16_t* reply, uint32_t replySize) {
    if (!reply) return mciSendStringW(Wide(command).c_str(), nullptr, replySize, nullptr);
    // The buffer keeps what the platform does not overwrite.
    std::vector<wchar_t> wide(reply, reply + replySize);
    wide.push_back(L'\0');
    const uint32_t code = mciSendStringW(Wide(command).c_str(), wide.data(), replySize, nullptr);
    CopyReply(wide, reply, replySize);
    return code;
}

bool WinMusicPort::errorString(uint32_t code, char16_t* text, uint32_t textSize) {
    std::vector<wchar_t> wide(text, text + textSize);
    wide.push_back(L'\0');
    const bool ok = mciGetErrorStringW(code, wide.data(), textSize) != FALSE;
    CopyReply(wide, text, textSize);
    return ok;
}

uint32_t WinMusicPort::waveOutDeviceCount() {
    return waveOutGetNumDevs();
}

void WinMusicPort::playSound(const char16_t* name, uint32_t flags) {
    if (!name) {
        PlaySoundW(nullptr, nullptr, flags);
        return;
    }
    PlaySoundW(Wide(name).c_str(), nullptr, flags);
}

} // namespace velumira
