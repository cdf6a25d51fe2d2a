#include "bgm.h"

#include "lenient_number.h"
#include "settings_core.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace velumira {

const char16_t kNoCommandText[] = u"コマンド文字列が指定されていません";
const char16_t kNoErrorText[] = u"Error (文字列が取れません)";

namespace {

constexpr char16_t kCd[] = u"cdaudio";
constexpr char16_t kMp3Alias[] = u"MP3Play";

// The characters of a buffer before its first NUL, never past its end.
std::u16string UpToNul(const char16_t* buffer, size_t size) {
    size_t n = 0;
    while (n < size && buffer[n] != u'\0')
        ++n;
    return std::u16string(buffer, n);
}

bool HasErrorMarker(const std::u16string& reply) {
    std::u16string upper = reply;
    for (char16_t& c : upper)
        if (c >= u'a' && c <= u'z') c = char16_t(c - u'a' + u'A');
    return upper.find(u"ERR") != std::u16string::npos;
}

// The first seven characters of a mode buffer, NUL or not, so a short reply
// never passes for a seven-letter word.
bool ModeIs(const char16_t* buffer, const char16_t (&word)[8]) {
    return std::equal(word, word + 7, buffer);
}

std::u16string Decimal(int value) {
    return Utf16OfAscii(std::to_string(value));
}

} // namespace

Velumira_BGM::Velumira_BGM(MusicPort& port, int16_t track, std::u16string file)
    : port_(port), track_(track), file_(std::move(file)) {}

void Velumira_BGM::MciCommand(const std::u16string& command) {
    port_.sendString(command.c_str(), nullptr, 0);
}

int32_t Velumira_BGM::MciSend(const std::u16string& command, std::u16string& text) {
    if (command.empty()) {
        text = kNoCommandText;
        return -1;
    }
    const uint32_t code = port_.sendString(command.c_str(), reply_, std::size(reply_));
    if (code == 0) {
        text = UpToNul(reply_, std::size(reply_));
        return 0;
    }
    if (port_.errorString(code, errorText_, std::size(errorText_)))
        text = UpToNul(errorText_, std::size(errorText_));
    else
        text = kNoErrorText;
    return int32_t(code);
}

std::u16string Velumira_BGM::MciStatus(const std::u16string& command) {
    std::u16string text;
    const int32_t code = MciSend(command, text);
    if (code != 0) return u"Error:" + Decimal(code);
    return text;
}

int32_t Velumira_BGM::MciPlay(const std::u16string& device, const std::u16string& from,
                              const std::u16string& to) {
    std::u16string command = u"play " + device;
    if (!from.empty()) command += u" from " + from;
    if (!to.empty()) command += u" to " + to;
    std::u16string text;
    return MciSend(command, text);
}

void Velumira_BGM::CdOpen() {
    MciCommand(u"open cdaudio");
    MciCommand(u"set cdaudio time format tmsf");
}

void Velumira_BGM::CdTick() {
    CdActive = true;
    const std::u16string current = MciStatus(u"status cdaudio current track");
    if (HasErrorMarker(current)) {
        CdActive = false;
        return;
    }
    const std::u16string tracks = MciStatus(u"status cdaudio number of tracks");
    if (HasErrorMarker(tracks)) {
        CdActive = false;
        return;
    }
    port_.sendString(u"status cdaudio mode", cdMode_, std::size(cdMode_));
    const bool stopped = ModeIs(cdMode_, u"stopped");

    if (track_ != 0) {
        if (stopped || LenientNumber(AsciiOf(current)) != double(track_)) {
            const std::u16string start =
                MciStatus(u"status cdaudio position track " + Decimal(track_));
            MciPlay(kCd, start, u"");
        }
    } else if (stopped) {
        MciPlay(kCd, u"", u"");
    }
}

void Velumira_BGM::CdClose() {
    MciCommand(u"stop cdaudio");
    MciCommand(u"close cdaudio");
}

void Velumira_BGM::Mp3OpenPlay() {
    char16_t placeholder[1] = {};
    const std::u16string open =
        u"open \"" + file_ + u"\" type MPEGVideo Alias " + std::u16string(kMp3Alias);
    if (port_.sendString(open.c_str(), placeholder, 0) == 0) MciCommand(u"play MP3Play");
}

bool Velumira_BGM::Mp3IsPlaying() {
    port_.sendString(u"status MP3Play mode", mp3Mode_, std::size(mp3Mode_));
    return ModeIs(mp3Mode_, u"playing");
}

void Velumira_BGM::Mp3KeepPlaying() {
    if (!Mp3IsPlaying()) {
        MciCommand(u"stop MP3Play");
        MciCommand(u"play MP3Play from 0");
    }
}

void Velumira_BGM::Mp3Stop() {
    MciCommand(u"stop MP3Play");
    MciCommand(u"close MP3Play");
}

void Velumira_BGM::WavPlay() {
    if (port_.waveOutDeviceCount() > 0) port_.playSound(file_.c_str(), kSndAsync | kSndLoop);
}

void Velumira_BGM::WavStop() {
    port_.playSound(nullptr, 0);
}

} // namespace velumira
