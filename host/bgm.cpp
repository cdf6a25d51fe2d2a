#include "bgm.h"

#include "lenient_number.h"

#include <cstring>
#include <utility>

namespace velumira {

const char kNoCommandText[] = "\x83\x52\x83\x7d\x83\x93\x83\x68" // コマンド
                              "\x95\xb6\x8e\x9a\x97\xf1\x82\xaa" // 文字列が
                              "\x8e\x77\x92\xe8\x82\xb3\x82\xea" // 指定され
                              "\x82\xc4\x82\xa2\x82\xdc\x82\xb9" // ていませ
                              "\x82\xf1";                        // ん
const char kNoErrorText[] = "Error ("
                            "\x95\xb6\x8e\x9a\x97\xf1\x82\xaa" // 文字列が
                            "\x8e\xe6\x82\xea\x82\xdc\x82\xb9" // 取れませ
                            "\x82\xf1"                         // ん
                            ")";

namespace {

constexpr char kCd[] = "cdaudio";
constexpr char kMp3Alias[] = "MP3Play";

// The characters of a buffer before its first NUL, never past its end.
std::string UpToNul(const char* buffer, size_t size) {
    return std::string(buffer, strnlen(buffer, size));
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

bool HasErrorMarker(const std::string& reply) {
    return Upper(reply).find("ERR") != std::string::npos;
}

} // namespace

Velumira_BGM::Velumira_BGM(MusicPort& port, int16_t track, std::string file)
    : port_(port), track_(track), file_(std::move(file)) {}

void Velumira_BGM::MciCommand(const std::string& command) {
    port_.sendString(command.c_str(), nullptr, 0);
}

int32_t Velumira_BGM::MciSend(const std::string& command, std::string& text) {
    if (command.empty()) {
        text = kNoCommandText;
        return -1;
    }
    const uint32_t code = port_.sendString(command.c_str(), reply_, sizeof reply_);
    if (code == 0) {
        text = UpToNul(reply_, sizeof reply_);
        return 0;
    }
    if (port_.errorString(code, errorText_, sizeof errorText_))
        text = UpToNul(errorText_, sizeof errorText_);
    else
        text = kNoErrorText;
    return int32_t(code);
}

std::string Velumira_BGM::MciStatus(const std::string& command) {
    std::string text;
    const int32_t code = MciSend(command, text);
    if (code != 0) return "Error:" + std::to_string(code);
    return text;
}

int32_t Velumira_BGM::MciPlay(const std::string& device, const std::string& from,
                              const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    std::string text;
    return MciSend(command, text);
}

void Velumira_BGM::CdOpen() {
    MciCommand("open cdaudio");
    MciCommand("set cdaudio time format tmsf");
}

void Velumira_BGM::CdTick() {
    CdActive = true;
    const std::string current = MciStatus("status cdaudio current track");
    if (HasErrorMarker(current)) {
        CdActive = false;
        return;
    }
    const std::string tracks = MciStatus("status cdaudio number of tracks");
    if (HasErrorMarker(tracks)) {
        CdActive = false;
        return;
    }
    // The mode is read as its first seven characters, NUL or not, so a short
    // reply never passes for a seven-letter word.
    port_.sendString("status cdaudio mode", cdMode_, sizeof cdMode_);
    const bool stopped = std::memcmp(cdMode_, "stopped", 7) == 0;

    if (track_ != 0) {
        if (stopped || LenientNumber(current) != double(track_)) {
            const std::string start =
                MciStatus("status cdaudio position track " + std::to_string(track_));
            MciPlay(kCd, start, "");
        }
    } else if (stopped) {
        MciPlay(kCd, "", "");
    }
}

void Velumira_BGM::CdClose() {
    MciCommand("stop cdaudio");
    MciCommand("close cdaudio");
}

void Velumira_BGM::Mp3OpenPlay() {
    char placeholder[1] = {};
    const std::string open =
        "open \"" + file_ + "\" type MPEGVideo Alias " + std::string(kMp3Alias);
    if (port_.sendString(open.c_str(), placeholder, 0) == 0) MciCommand("play MP3Play");
}

bool Velumira_BGM::Mp3IsPlaying() {
    port_.sendString("status MP3Play mode", mp3Mode_, sizeof mp3Mode_);
    return std::memcmp(mp3Mode_, "playing", 7) == 0;
}

void Velumira_BGM::Mp3KeepPlaying() {
    if (!Mp3IsPlaying()) {
        MciCommand("stop MP3Play");
        MciCommand("play MP3Play from 0");
    }
}

void Velumira_BGM::Mp3Stop() {
    MciCommand("stop MP3Play");
    MciCommand("close MP3Play");
}

void Velumira_BGM::WavPlay() {
    if (port_.waveOutDeviceCount() > 0) port_.playSound(file_.c_str(), kSndAsync | kSndLoop);
}

void Velumira_BGM::WavStop() {
    port_.playSound(nullptr, 0);
}

} // namespace velumira
