#pragma once

#include "bgm.h"
#include "settings_core.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

// UTF-8 of the module's UTF-16 text, so that tests write it as plain literals.
inline std::string Utf8Of(const char16_t* text) {
    std::string out;
    for (; *text; ++text) {
        uint32_t c = *text;
        if (c >= 0xD800 && c < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (*++text - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
        } else {
            out += {char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)),
                    char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

// Records every MCI command string (as UTF-8) and answers from a script: a
// reply per command (ASCII text and code), falling back to success with an
// empty reply.
struct FakeMusic : velumira::MusicPort {
    struct Reply {
        std::string text;
        uint32_t code = 0;
    };
    struct Sent {
        std::string command;
        uint32_t replySize;
        bool hasBuffer;
    };
    std::vector<Sent> sent;
    std::map<std::string, std::deque<Reply>> queued; // used once each
    std::map<std::string, Reply> standing;           // used every time
    std::map<uint32_t, std::string> errorTexts;
    uint32_t waveDevices = 1;
    std::vector<std::pair<std::string, uint32_t>> sounds;

    // Copies `text` and its NUL into `out`, cut to `size` characters.
    static void Answer(const std::string& text, char16_t* out, uint32_t size) {
        const std::u16string wide = velumira::Utf16OfAscii(text);
        const size_t n = std::min<size_t>(wide.size(), size - 1);
        std::copy(wide.begin(), wide.begin() + n, out);
        out[n] = u'\0';
    }
    uint32_t sendString(const char16_t* command16, char16_t* reply, uint32_t replySize) override {
        const std::string command = Utf8Of(command16);
        sent.push_back({command, replySize, reply != nullptr});
        Reply r;
        auto q = queued.find(command);
        if (q != queued.end() && !q->second.empty()) {
            r = q->second.front();
            q->second.pop_front();
        } else if (standing.count(command)) {
            r = standing[command];
        }
        if (reply && replySize > 0 && r.code == 0) Answer(r.text, reply, replySize);
        return r.code;
    }
    bool errorString(uint32_t code, char16_t* text, uint32_t size) override {
        auto e = errorTexts.find(code);
        if (e == errorTexts.end()) return false;
        Answer(e->second, text, size);
        return true;
    }
    uint32_t waveOutDeviceCount() override { return waveDevices; }
    void playSound(const char16_t* name, uint32_t flags) override {
        sounds.push_back({name ? Utf8Of(name) : "<null>", flags});
    }

    std::vector<std::string> commands() const {
        std::vector<std::string> out;
        for (const auto& s : sent)
            out.push_back(s.command);
        return out;
    }
    void clear() {
        sent.clear();
        sounds.clear();
    }
};
