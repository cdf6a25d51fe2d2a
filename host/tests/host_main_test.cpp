#include "host_main.h"
#include "lenient_number.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace velumira;

namespace {

struct FakeHost : HostPlatform {
    std::set<std::string> windows;
    bool renderer = true;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    int32_t previewParent = -12345;

    bool topLevelWindowExists(const char* title) override { return windows.count(title) != 0; }
    bool showPreview(int32_t parent) override {
        previewParent = parent;
        calls.push_back("preview");
        return true;
    }
    void createWorkFolder() override { calls.push_back("folder"); }
    void loadSettings() override { calls.push_back("settings"); }
    bool rendererPresent() override { return renderer; }
    Language language = Language::Japanese;
    const Texts& texts() override { return TextsFor(language); }
    void messageBox(const char* text) override {
        messages.push_back(text);
        calls.push_back("message");
    }
    void runSettingsDialog() override { calls.push_back("dialog"); }
    void hideCursor() override { calls.push_back("hide-cursor"); }
    bool loadSaverForm() override {
        calls.push_back("saver");
        return true;
    }
};

using Calls = std::vector<std::string>;

TEST(ArgumentText, DropsProgramPathAndLeadingBlanks) {
    EXPECT_EQ(ArgumentTextOf("C:\\x\\Velumira.scr /s"), "/s");
    EXPECT_EQ(ArgumentTextOf("\"C:\\Program Files\\Velumira.scr\"   /p 1234"), "/p 1234");
    EXPECT_EQ(ArgumentTextOf("\"C:\\a b\\Velumira.scr\""), "");
    EXPECT_EQ(ArgumentTextOf("Velumira.scr\t-c:99 "), "-c:99 ");
    EXPECT_EQ(ArgumentTextOf("Velumira.scr"), "");
    EXPECT_EQ(ArgumentTextOf(nullptr), "");
}

TEST(ArgumentText, ModeLetterIsTheUpperCasedSecondCharacter) {
    EXPECT_EQ(ModeLetter("/s"), 'S');
    EXPECT_EQ(ModeLetter("xp 12"), 'P');
    EXPECT_EQ(ModeLetter("s"), 0);
    EXPECT_EQ(ModeLetter(""), 0);
}

TEST(ArgumentText, PreviewParentReadsLeniently) {
    EXPECT_EQ(PreviewParentOf("/p 1234"), 1234);
    EXPECT_EQ(PreviewParentOf("/p:1234"), 1234);
    EXPECT_EQ(PreviewParentOf("/p &H4D2"), 1234);
    EXPECT_EQ(PreviewParentOf("/p &h4d2"), 1234);
    EXPECT_EQ(PreviewParentOf("/p 12 34"), 1234); // blanks inside are ignored
    EXPECT_EQ(PreviewParentOf("/p\t1\n2"), 12);
    EXPECT_EQ(PreviewParentOf("/p 99x7"), 99); // stops at the first non-digit
    EXPECT_EQ(PreviewParentOf("/p"), 0);
    EXPECT_EQ(PreviewParentOf("/p abc"), 0);
    EXPECT_EQ(PreviewParentOf("/p 2.5"), 2); // halves go to even
    EXPECT_EQ(PreviewParentOf("/p 3.5"), 4);
    EXPECT_EQ(PreviewParentOf("/p 1.2E3"), 1200);
    EXPECT_EQ(PreviewParentOf("/p -7"), -7);
    EXPECT_EQ(PreviewParentOf("/p &HFFFFFFFF"), -1);
    EXPECT_EQ(PreviewParentOf("/p 99999999999"), INT32_MAX);
}

TEST(LenientNumber, ExponentNeedsDigitsAndHexStopsAtNonHex) {
    EXPECT_EQ(LenientNumber("12E"), 12.0);
    EXPECT_EQ(LenientNumber("2D2"), 200.0);
    EXPECT_EQ(LenientNumber("&H1G"), 1.0);
    EXPECT_EQ(LenientNumber("&H"), 0.0);
    EXPECT_EQ(LenientNumber("."), 0.0);
    EXPECT_EQ(LenientNumber(" - 3"), -3.0);
}

struct ModeCase {
    const char* argument;
    Calls calls;
    HostRun run;
};

class HostModes : public testing::TestWithParam<ModeCase> {};

TEST_P(HostModes, FollowTheModesTable) {
    FakeHost host;
    const ModeCase& c = GetParam();
    EXPECT_EQ(HostMain(c.argument, host), c.run) << c.argument;
    EXPECT_EQ(host.calls, c.calls) << c.argument;
    EXPECT_TRUE(host.messages.empty());
}

const Calls kSaverHidden{"folder", "settings", "hide-cursor", "saver"};
const Calls kSaverVisible{"folder", "settings", "saver"};
const Calls kDialog{"folder", "settings", "dialog"};
const Calls kSilentEnd{"folder", "settings"};

INSTANTIATE_TEST_SUITE_P(CommandLines, HostModes,
                         testing::Values(ModeCase{"/s", kSaverHidden, HostRun::KeepRunning},
                                         ModeCase{"/S", kSaverHidden, HostRun::KeepRunning},
                                         ModeCase{"-s", kSaverHidden, HostRun::KeepRunning},
                                         ModeCase{"xs", kSaverHidden, HostRun::KeepRunning},
                                         ModeCase{"", kSaverVisible, HostRun::KeepRunning},
                                         ModeCase{"/c", kDialog, HostRun::EndNow},
                                         ModeCase{"/c:1234", kDialog, HostRun::EndNow},
                                         ModeCase{"/p 1234", {"preview"}, HostRun::KeepRunning},
                                         ModeCase{"/p", {"preview"}, HostRun::KeepRunning},
                                         ModeCase{"/a", kSilentEnd, HostRun::EndNow},
                                         ModeCase{"s", kSilentEnd, HostRun::EndNow},
                                         ModeCase{"x", kSilentEnd, HostRun::EndNow}));

TEST(HostMain, PreviewGetsTheParentHandle) {
    for (auto [arg, parent] : {std::pair<const char*, int32_t>{"/p 1234", 1234},
                               {"/p:1234", 1234},
                               {"/p &H4D2", 1234},
                               {"/P", 0}}) {
        FakeHost host;
        HostMain(arg, host);
        EXPECT_EQ(host.previewParent, parent) << arg;
    }
}

TEST(HostMain, RunningSaverOrDialogEndsAnyNewHostAtOnce) {
    for (const char* marker : {kSaverCaption, kDialogCaption}) {
        for (const char* arg : {"/s", "/c", "/p 1234", ""}) {
            FakeHost host;
            host.windows.insert(marker);
            EXPECT_EQ(HostMain(arg, host), HostRun::EndNow);
            EXPECT_TRUE(host.calls.empty()) << marker << " " << arg;
        }
    }
}

TEST(HostMain, MissingRendererGivesTheMessageAndEnds) {
    for (const char* arg : {"/s", "/c", ""}) {
        FakeHost host;
        host.renderer = false;
        EXPECT_EQ(HostMain(arg, host), HostRun::EndNow);
        EXPECT_EQ(host.calls, (Calls{"folder", "settings", "message"})) << arg;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], u8"Velumira.dllが同じフォルダに見つかりません！");
    }
    FakeHost english;
    english.renderer = false;
    english.language = Language::English;
    HostMain("/s", english);
    ASSERT_EQ(english.messages.size(), 1u);
    EXPECT_EQ(english.messages[0], TextsFor(Language::English).rendererMissing);
    FakeHost preview;
    preview.renderer = false;
    HostMain("/p 5", preview);
    EXPECT_TRUE(preview.messages.empty()); // the preview never looks for it
}

} // namespace
