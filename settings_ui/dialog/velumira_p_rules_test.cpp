#include "velumira_p_rules.h"

#include "settings_core.h"

#include <gtest/gtest.h>

using namespace velumira;

TEST(FormatTrack, ZeroIsEmptyOthersArePlainDigits) {
    EXPECT_EQ(FormatTrack(0), "");
    EXPECT_EQ(FormatTrack(1), "1");
    EXPECT_EQ(FormatTrack(30), "30");
    EXPECT_EQ(FormatTrack(-4), "-4");
}

TEST(PlaceDialog, CentredAcrossAndOneThirdDown) {
    const Placement p = PlaceDialog(1920, 1080, 496, 268);
    EXPECT_EQ(p.left, 712);
    EXPECT_EQ(p.top, 270); // (1080 - 268) / 3, not the centre 406
    const Placement odd = PlaceDialog(1025, 769, 100, 100);
    EXPECT_EQ(odd.left, 462);
    EXPECT_EQ(odd.top, 223);
    const Placement big = PlaceDialog(400, 200, 497, 261);
    EXPECT_EQ(big.left, -48);
    EXPECT_EQ(big.top, -20);
}

TEST(ApplyWrites, KindTrackFileInOrderWithBlankBeforeNumbers) {
    int16_t track = 9;
    const auto writes = ApplyWrites(1, "7", u"C:\\Music\\한국 노래.mp3", track);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0].first, kKeyBgmKind);
    EXPECT_EQ(writes[0].second, u" 1");
    EXPECT_EQ(writes[1].first, kKeyBgmTrack);
    EXPECT_EQ(writes[1].second, u" 7");
    EXPECT_EQ(writes[2].first, kKeyBgmFile);
    EXPECT_EQ(writes[2].second, u"C:\\Music\\한국 노래.mp3");
    EXPECT_EQ(track, 7);
}

TEST(ApplyWrites, ComboTextThatIsNoTrackGivesZero) {
    for (const char* text : {"", "abc", "7a", "99999"}) {
        int16_t track = 5;
        const auto writes = ApplyWrites(0, text, u"", track);
        EXPECT_EQ(writes[1].second, u" 0") << text;
        EXPECT_EQ(track, 0) << text;
    }
    int16_t track = 0;
    EXPECT_EQ(ApplyWrites(2, "-3", u"", track)[1].second, u"-3");
    EXPECT_EQ(ApplyWrites(2, "2.5", u"", track)[1].second, u" 2");
}
