#pragma once

#include "bgm.h"

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

// Records every MCI command string and answers from a script: a reply per
// command (text and code), falling back to success with an empty reply.
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

    uint32_t sendString(const char* command, char* reply, uint32_t replySize) override {
        sent.push_back({command, replySize, reply != nullptr});
        Reply r;
        auto q = queued.find(command);
        if (q != queued.end() && !q->second.empty()) {
            r = q->second.front();
            q->second.pop_front();
        } else if (standing.count(command)) {
            r = standing[command];
        }
        if (reply && replySize > 0 && r.code == 0) {
            std::strncpy(reply, r.text.c_str(), replySize - 1);
            reply[std::min<size_t>(r.text.size(), replySize - 1)] = '\0';
        }
        return r.code;
    }
    bool errorString(uint32_t code, char* text, uint32_t size) override {
        auto e = errorTexts.find(code);
        if (e == errorTexts.end()) return false;
        std::strncpy(text, e->second.c_str(), size - 1);
        text[size - 1] = '\0';
        return true;
    }
    uint32_t waveOutDeviceCount() override { return waveDevices; }
    void playSound(const char* name, uint32_t flags) override {
        sounds.push_back({name ? name : "<null>", flags});
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
