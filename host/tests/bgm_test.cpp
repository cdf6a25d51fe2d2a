#include "bgm.h"
#include "fake_music.h"

#include <gtest/gtest.h>

using namespace velumira;
using Commands = std::vector<std::string>;

namespace {

constexpr char kCurrent[] = "status cdaudio current track";
constexpr char kTracks[] = "status cdaudio number of tracks";
constexpr char kMode[] = "status cdaudio mode";

TEST(MciLayer, EmptyCommandNeverReachesThePlatform) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    std::u16string text;
    EXPECT_EQ(bgm.MciSend(u"", text), -1);
    EXPECT_EQ(text, u"コマンド文字列が指定されていません");
    EXPECT_TRUE(port.sent.empty());
}

TEST(MciLayer, SendDeliversReplyOrErrorDescription) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    port.standing["status x"] = {"hello", 0};
    std::u16string text;
    EXPECT_EQ(bgm.MciSend(u"status x", text), 0);
    EXPECT_EQ(text, u"hello");
    EXPECT_EQ(port.sent.back().replySize, 512u);

    port.standing["bad"] = {"", 263};
    port.errorTexts[263] = "The specified device is not open";
    EXPECT_EQ(bgm.MciSend(u"bad", text), 263);
    EXPECT_EQ(text, u"The specified device is not open");

    port.standing["worse"] = {"", 999};
    EXPECT_EQ(bgm.MciSend(u"worse", text), 999);
    EXPECT_EQ(text, u"Error (文字列が取れません)");
}

TEST(MciLayer, StatusTurnsFailureIntoErrorMarker) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    port.standing["status q"] = {"", 275};
    port.errorTexts[275] = "whatever";
    EXPECT_EQ(bgm.MciStatus(u"status q"), u"Error:275");
    EXPECT_EQ(bgm.MciStatus(u""), u"Error:-1");
}

TEST(MciLayer, PlayAddsOnlyGivenPositions) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    bgm.MciPlay(u"cdaudio", u"", u"");
    bgm.MciPlay(u"cdaudio", u"03:00:00:00", u"");
    bgm.MciPlay(u"dev", u"1", u"2");
    EXPECT_EQ(port.commands(),
              (Commands{"play cdaudio", "play cdaudio from 03:00:00:00", "play dev from 1 to 2"}));
}

TEST(AudioCd, OpenSetsTrackTimeFormatAndPlaysNothing) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    bgm.CdOpen();
    EXPECT_EQ(port.commands(), (Commands{"open cdaudio", "set cdaudio time format tmsf"}));
    EXPECT_FALSE(port.sent[0].hasBuffer);
    EXPECT_EQ(port.sent[0].replySize, 0u);
}

TEST(AudioCd, WholeDiscStartsWhenStoppedAndIsLeftAloneWhilePlaying) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    port.standing[kCurrent] = {"1"};
    port.standing[kTracks] = {"12"};
    port.queued[kMode] = {{"stopped"}, {"playing"}, {"playing"}};

    bgm.CdTick();
    EXPECT_TRUE(bgm.CdActive);
    EXPECT_EQ(port.commands(), (Commands{kCurrent, kTracks, kMode, "play cdaudio"}));
    EXPECT_EQ(port.sent[2].replySize, 255u);

    port.clear();
    bgm.CdTick();
    bgm.CdTick();
    EXPECT_TRUE(bgm.CdActive);
    EXPECT_EQ(port.commands(), (Commands{kCurrent, kTracks, kMode, kCurrent, kTracks, kMode}));
}

TEST(AudioCd, HeldTrackIsPulledBackFromTheNextTrack) {
    FakeMusic port;
    Velumira_BGM bgm(port, 3, u"");
    port.standing[kCurrent] = {"4"};
    port.standing[kTracks] = {"12"};
    port.standing[kMode] = {"playing"};
    port.standing["status cdaudio position track 3"] = {"03:00:00:00"};

    bgm.CdTick();
    EXPECT_EQ(port.commands(),
              (Commands{kCurrent, kTracks, kMode, "status cdaudio position track 3",
                        "play cdaudio from 03:00:00:00"}));
    EXPECT_TRUE(bgm.CdActive);

    // On the held track and playing: nothing more.
    port.clear();
    port.standing[kCurrent] = {"3"};
    bgm.CdTick();
    EXPECT_EQ(port.commands(), (Commands{kCurrent, kTracks, kMode}));

    // On the held track but stopped: started again from its beginning.
    port.clear();
    port.standing[kMode] = {"stopped"};
    bgm.CdTick();
    EXPECT_EQ(port.commands().back(), "play cdaudio from 03:00:00:00");
}

TEST(AudioCd, ErrorReplyStopsTheCheck) {
    for (const char* failing : {kCurrent, kTracks}) {
        FakeMusic port;
        Velumira_BGM bgm(port, 0, u"");
        port.standing[kCurrent] = {"1"};
        port.standing[kTracks] = {"9"};
        port.standing[failing] = {"", 275};
        bgm.CdTick();
        EXPECT_FALSE(bgm.CdActive) << failing;
        EXPECT_EQ(port.commands().back(), failing);
    }
    // A successful reply that reads "error" counts as well.
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    port.standing[kCurrent] = {"drive error"};
    bgm.CdTick();
    EXPECT_FALSE(bgm.CdActive);
    EXPECT_EQ(port.commands(), (Commands{kCurrent}));
}

TEST(AudioCd, ShortModeReplyNeverMatchesStaleText) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    port.standing[kCurrent] = {"1"};
    port.standing[kTracks] = {"9"};
    port.queued[kMode] = {{"stopped"}, {"stop"}};
    bgm.CdTick();
    port.clear();
    bgm.CdTick(); // buffer now "stop\0ed": not "stopped"
    EXPECT_EQ(port.commands(), (Commands{kCurrent, kTracks, kMode}));
}

TEST(AudioCd, CloseStopsThenCloses) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"");
    bgm.CdClose();
    EXPECT_EQ(port.commands(), (Commands{"stop cdaudio", "close cdaudio"}));
}

TEST(Mp3, OpensQuotedPathUnderAliasAndPlaysOnlyOnSuccess) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"C:\\My Music\\한국 노래 Café 😀.mp3");
    const std::string open =
        "open \"C:\\My Music\\한국 노래 Café 😀.mp3\" type MPEGVideo Alias MP3Play";
    bgm.Mp3OpenPlay();
    EXPECT_EQ(port.commands(), (Commands{open, "play MP3Play"}));
    EXPECT_EQ(port.sent[0].replySize, 0u);

    port.clear();
    port.standing[open] = {"", 277};
    bgm.Mp3OpenPlay();
    EXPECT_EQ(port.commands(), (Commands{open}));
}

TEST(Mp3, FinishedFileStartsAgainFromTheBeginning) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"a.mp3");
    port.queued["status MP3Play mode"] = {{"playing"}, {"stopped"}};
    bgm.Mp3KeepPlaying();
    EXPECT_EQ(port.commands(), (Commands{"status MP3Play mode"}));
    EXPECT_EQ(port.sent[0].replySize, 30u);
    port.clear();
    bgm.Mp3KeepPlaying();
    EXPECT_EQ(port.commands(),
              (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
}

TEST(Mp3, FailedModeQueryKeepsTheLastAnswer) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"a.mp3");
    port.queued["status MP3Play mode"] = {{"playing"}, {"", 263}};
    EXPECT_TRUE(bgm.Mp3IsPlaying());
    EXPECT_TRUE(bgm.Mp3IsPlaying());
}

TEST(Mp3, StopStopsThenCloses) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"a.mp3");
    bgm.Mp3Stop();
    EXPECT_EQ(port.commands(), (Commands{"stop MP3Play", "close MP3Play"}));
}

TEST(Wav, LoopsAsynchronouslyOnlyWithAWaveDevice) {
    FakeMusic port;
    Velumira_BGM bgm(port, 0, u"C:\\Beyoncé\\SONG.Wav");
    bgm.WavPlay();
    bgm.WavStop();
    ASSERT_EQ(port.sounds.size(), 2u);
    EXPECT_EQ(port.sounds[0], (std::pair<std::string, uint32_t>{"C:\\Beyoncé\\SONG.Wav", 9}));
    EXPECT_EQ(port.sounds[1], (std::pair<std::string, uint32_t>{"<null>", 0}));
    EXPECT_TRUE(port.sent.empty());

    port.sounds.clear();
    port.waveDevices = 0;
    bgm.WavPlay();
    EXPECT_TRUE(port.sounds.empty());
}

} // namespace
