#include "fake_music.h"
#include "saver.h"

#include <gtest/gtest.h>

#include <set>

using namespace velumira;
using Commands = std::vector<std::string>;

namespace {

struct FakeSaver : SaverPlatform {
    std::vector<std::string> calls;
    bool rendererStarts = true;
    bool running = false;
    bool window = false;
    uint64_t now = 1000;
    int cursorShows = 0;
    bool unloaded = false;
    bool timers[4] = {false, false, false, true};
    std::set<std::string> folder;      // the working folder's files
    std::vector<std::string> pictures; // what the capture manages to write
    const FakeMusic* music = nullptr;
    std::vector<std::string> musicBeforeEachRemoval; // the last command sent

    std::vector<std::string> captureDesktop() override {
        calls.push_back("capture");
        folder.insert(pictures.begin(), pictures.end());
        return pictures;
    }
    void removeFile(const std::string& path) override {
        folder.erase(path);
        musicBeforeEachRemoval.push_back(music && !music->sent.empty() ? music->sent.back().command
                                                                       : "");
    }
    void startRenderer() override {
        calls.push_back("renderer");
        running = rendererStarts;
    }
    bool rendererRunning() override { return running; }
    bool rendererWindowExists() override { return window; }
    void setTimerEnabled(SaverTimer t, bool on) override { timers[int(t)] = on; }
    void showCursor() override { ++cursorShows; }
    uint64_t nowMs() override { return now; }
    void unloadForm() override { unloaded = true; }
};

struct Saver {
    FakeSaver platform;
    FakeMusic music;
    Velumira_BGM bgm;
    Velumira_S form;
    Saver(int16_t kind, const std::u16string& file, int16_t track = 0, char mode = 'S')
        : bgm(music, track, file), form(platform, bgm, kind, file, mode) {
        platform.music = &music;
    }
};

TEST(MusicFileKind, LastThreeCharactersUpperCased) {
    EXPECT_EQ(MusicFileKindOf(u"C:\\SONG.Wav"), MusicFileKind::Wav);
    EXPECT_EQ(MusicFileKindOf(u"C:\\한국 노래.Mp3"), MusicFileKind::Mp3);
    EXPECT_EQ(MusicFileKindOf(u"xmp3"), MusicFileKind::Mp3);
    EXPECT_EQ(MusicFileKindOf(u"a.mid"), MusicFileKind::Other);
    EXPECT_EQ(MusicFileKindOf(u"wav"), MusicFileKind::Wav);
    EXPECT_EQ(MusicFileKindOf(u"av"), MusicFileKind::Other);
    EXPECT_EQ(MusicFileKindOf(u""), MusicFileKind::Other);
}

TEST(SaverLoad, SnapshotComesBeforeTheRenderer) {
    Saver s(0, u"");
    s.form.Load();
    EXPECT_EQ(s.platform.calls, (std::vector<std::string>{"capture", "renderer"}));
    EXPECT_TRUE(s.music.sent.empty());
    EXPECT_TRUE(s.form.TimerEnabled(SaverTimer::Timer3));
    EXPECT_FALSE(s.form.TimerEnabled(SaverTimer::Timer1));
    EXPECT_FALSE(s.form.TimerEnabled(SaverTimer::Timer2));
}

TEST(SaverMusic, CdOpensAndStartsItsCheck) {
    Saver s(1, u"", 0);
    s.form.Load();
    EXPECT_EQ(s.music.commands(), (Commands{"open cdaudio", "set cdaudio time format tmsf"}));
    EXPECT_TRUE(s.platform.timers[2]);

    s.music.standing["status cdaudio current track"] = {"1"};
    s.music.standing["status cdaudio number of tracks"] = {"5"};
    s.music.standing["status cdaudio mode"] = {"playing"};
    s.form.Timer2Tick();
    EXPECT_TRUE(s.form.TimerEnabled(SaverTimer::Timer2));

    s.music.clear();
    s.form.QueryUnload();
    EXPECT_EQ(s.music.commands(), (Commands{"stop cdaudio", "close cdaudio"}));
    EXPECT_FALSE(s.platform.timers[2]);
}

TEST(SaverMusic, CdErrorStopsTheChecksAndTheEndingLeavesTheDriveAlone) {
    Saver s(1, u"", 0);
    s.form.Load();
    s.music.standing["status cdaudio current track"] = {"", 275};
    s.form.Timer2Tick();
    EXPECT_FALSE(s.form.TimerEnabled(SaverTimer::Timer2));
    EXPECT_FALSE(s.platform.timers[2]);

    s.music.clear();
    s.form.QueryUnload();
    EXPECT_TRUE(s.music.sent.empty());
}

TEST(SaverMusic, Mp3PlaysKeepsPlayingAndStops) {
    Saver s(2, u"C:\\a.MP3");
    s.form.Load();
    EXPECT_EQ(s.music.commands(),
              (Commands{"open \"C:\\a.MP3\" type MPEGVideo Alias MP3Play", "play MP3Play"}));
    EXPECT_TRUE(s.platform.timers[1]);

    s.music.clear();
    s.music.standing["status MP3Play mode"] = {"stopped"};
    s.form.Timer1Tick();
    EXPECT_EQ(s.music.commands(),
              (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));

    s.music.clear();
    s.form.QueryUnload();
    EXPECT_EQ(s.music.commands(), (Commands{"stop MP3Play", "close MP3Play"}));
}

TEST(SaverMusic, MixedCaseWavIsPlayedAsWav) {
    Saver s(2, u"D:\\SONG.Wav");
    s.form.Load();
    s.form.QueryUnload();
    ASSERT_EQ(s.music.sounds.size(), 2u);
    EXPECT_EQ(s.music.sounds[0].second, 9u);
    EXPECT_EQ(s.music.sounds[1].first, "<null>");
    EXPECT_TRUE(s.music.sent.empty());
    EXPECT_FALSE(s.platform.timers[1]);
}

TEST(SaverMusic, OtherFileKindsPlayNothing) {
    for (int16_t kind : {2, 0, 3, -1}) {
        Saver s(kind, u"C:\\tune.mid");
        s.form.Load();
        s.form.QueryUnload();
        EXPECT_TRUE(s.music.sent.empty()) << kind;
        EXPECT_TRUE(s.music.sounds.empty()) << kind;
        EXPECT_FALSE(s.platform.timers[1] || s.platform.timers[2]) << kind;
    }
}

TEST(SaverEnding, CursorIsShownOnceOnlyInSaverMode) {
    Saver hidden(0, u"", 0, 'S');
    hidden.form.Load();
    hidden.form.QueryUnload();
    EXPECT_EQ(hidden.platform.cursorShows, 1);

    Saver empty(0, u"", 0, 0);
    empty.form.Load();
    empty.form.QueryUnload();
    EXPECT_EQ(empty.platform.cursorShows, 0);
}

// The pictures show whatever was on the screen: they go at the end, once the
// music has stopped. An old picture the capture could not replace (another
// account's, say) and the folder's other files are not this run's.
TEST(SaverEnding, RemovesExactlyThisRunsPicturesAfterTheMusic) {
    Saver s(2, u"C:\\a.mp3");
    const std::set<std::string> others = {"C:\\r_quil\\Velumira_1920_0_1280x1024.bmp",
                                          "C:\\r_quil\\Velumira.ini", "C:\\r_quil\\notes.txt"};
    s.platform.folder = others;
    s.platform.pictures = {"C:\\r_quil\\Velumira.bmp", "C:\\r_quil\\Velumira_-1024_0_1024x768.bmp"};
    s.form.Load();
    EXPECT_EQ(s.platform.folder.size(), 5u);
    s.form.QueryUnload();
    EXPECT_EQ(s.platform.folder, others);
    EXPECT_EQ(s.platform.musicBeforeEachRemoval, (Commands{"close MP3Play", "close MP3Play"}));
}

TEST(RendererWatch, EndsAtTheFirstCheckWithoutTheWindowOnceItWasSeen) {
    Saver s(0, u"");
    s.form.Load();
    s.platform.window = true;
    s.platform.now += 500;
    s.form.Timer3Tick();
    EXPECT_TRUE(s.form.RendererSeen());
    EXPECT_FALSE(s.platform.unloaded);

    s.platform.window = false;
    s.platform.now += 500;
    s.form.Timer3Tick();
    EXPECT_TRUE(s.platform.unloaded);
    EXPECT_FALSE(s.form.TimerEnabled(SaverTimer::Timer3));
    EXPECT_FALSE(s.platform.timers[3]);
}

TEST(RendererWatch, SlowRendererGetsItsStartTimeButNotMore) {
    Saver slow(0, u"");
    slow.form.Load();
    for (uint64_t t = 500; t < kRendererStartGraceMs; t += 500) {
        slow.platform.now = 1000 + t;
        slow.form.Timer3Tick();
        ASSERT_FALSE(slow.platform.unloaded) << t;
    }
    slow.platform.window = true; // shows up after three seconds, say
    slow.form.Timer3Tick();
    EXPECT_FALSE(slow.platform.unloaded);

    Saver never(0, u"");
    never.form.Load();
    never.platform.now = 1000 + kRendererStartGraceMs - 1;
    never.form.Timer3Tick();
    EXPECT_FALSE(never.platform.unloaded);
    never.platform.now = 1000 + kRendererStartGraceMs;
    never.form.Timer3Tick();
    EXPECT_TRUE(never.platform.unloaded);
}

// A renderer that could not start, or started and was gone before the first
// check, never opens its window: no start-up time for it.
TEST(RendererWatch, NoRendererProcessEndsAtTheFirstCheck) {
    for (bool started : {false, true}) {
        Saver s(0, u"");
        s.platform.rendererStarts = started;
        s.form.Load();
        s.platform.running = false;
        s.platform.now += 500;
        s.form.Timer3Tick();
        EXPECT_TRUE(s.platform.unloaded) << started;
    }
}

// Killed before the watch ever saw its window: the start-up time is for a
// renderer still on its way, not for one that is gone.
TEST(RendererWatch, RendererWhoseProcessEndedGetsNoStartTime) {
    Saver s(0, u"");
    s.form.Load();
    s.platform.now += 500;
    s.form.Timer3Tick();
    ASSERT_FALSE(s.platform.unloaded);

    s.platform.running = false;
    s.form.RendererEnded(); // the platform's word, between two ticks
    EXPECT_TRUE(s.platform.unloaded);
    EXPECT_FALSE(s.platform.timers[3]);
}

// Another program's window under the renderer's title keeps the saver going,
// whatever became of the renderer's own process.
TEST(RendererWatch, WindowOfTheTitleStillCountsAfterTheProcessEnded) {
    Saver s(0, u"");
    s.form.Load();
    s.platform.window = true;
    s.platform.running = false;
    s.form.RendererEnded();
    s.platform.now += 500;
    s.form.Timer3Tick();
    EXPECT_FALSE(s.platform.unloaded);
}

} // namespace
