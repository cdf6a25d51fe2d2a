#include "settings_core.h"

#include <gtest/gtest.h>

#include <set>

using namespace velumira;

TEST(IniNumber, EmptyTextIsZero) {
    EXPECT_EQ(IniNumber("", 5), 0);
}

TEST(IniNumber, NumbersAreFlooredToInt16) {
    EXPECT_EQ(IniNumber("2", 0), 2);
    EXPECT_EQ(IniNumber(" 1", 0), 1); // the dialog writes non-negative numbers so
    EXPECT_EQ(IniNumber("-1", 0), -1);
    EXPECT_EQ(IniNumber("1.9", 0), 1);
    EXPECT_EQ(IniNumber("3.7", 0), 3);
    EXPECT_EQ(IniNumber("-0.5", 0), -1);
    EXPECT_EQ(IniNumber("+4", 0), 4);
    EXPECT_EQ(IniNumber("1e2", 0), 100);
    EXPECT_EQ(IniNumber(".5", 9), 0);
    EXPECT_EQ(IniNumber("7 ", 0), 7);
    EXPECT_EQ(IniNumber("32767", 0), 32767);
    EXPECT_EQ(IniNumber("-32768", 0), -32768);
    EXPECT_EQ(IniNumber("32767.99", 0), 32767);
}

TEST(IniNumber, NonNumbersAndOverflowKeepTheCurrentValue) {
    for (const char* text : {"abc", "1a", "-", ".", " ", "1e", "0x10", "inf", "nan", "1 2", "--1",
                             "1e999", "40000", "32768", "-32768.5", "-40000"})
        EXPECT_EQ(IniNumber(text, 3), 3) << text;
}

TEST(TrackFromText, RoundsHalvesToEvenAndTurnsEverythingElseIntoZero) {
    EXPECT_EQ(TrackFromText("7"), 7);
    EXPECT_EQ(TrackFromText(" 12 "), 12);
    EXPECT_EQ(TrackFromText("2.5"), 2);
    EXPECT_EQ(TrackFromText("3.5"), 4);
    EXPECT_EQ(TrackFromText("2.6"), 3);
    EXPECT_EQ(TrackFromText("-1"), -1);
    EXPECT_EQ(TrackFromText("32767"), 32767);
    for (const char* text : {"", "abc", "7x", "40000", "-32769", "1e9"})
        EXPECT_EQ(TrackFromText(text), 0) << text;
}

TEST(FormatIniNumber, BlankBeforeNonNegativeMinusBeforeNegative) {
    EXPECT_EQ(FormatIniNumber(0), " 0");
    EXPECT_EQ(FormatIniNumber(7), " 7");
    EXPECT_EQ(FormatIniNumber(-1), "-1");
    EXPECT_EQ(FormatIniNumber(-32768), "-32768");
    EXPECT_EQ(IniNumber(FormatIniNumber(30), 0), 30);
}

TEST(KeyNames, AreTheShiftJisBytes) {
    EXPECT_EQ(std::string(kKeyBgmKind), "\x42\x47\x4D\x8B\xE6\x95\xAA");
    EXPECT_EQ(std::string(kKeyBgmTrack), "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4");
    EXPECT_EQ(std::string(kKeyBgmFile), "\x42\x47\x4D\xCC\xA7\xB2\xD9");
    EXPECT_STREQ(kIniSection, "Section");
}

TEST(FolderOf, KeepsEverythingBeforeTheLastSeparator) {
    EXPECT_EQ(FolderOf(u"C:\\Music\\a.mp3"), u"C:\\Music");
    EXPECT_EQ(FolderOf(u"C:\\a.mp3"), u"C:");
    EXPECT_EQ(FolderOf(u"D:a.mp3"), u"D:");
    EXPECT_EQ(FolderOf(u"a.mp3"), u"");
    EXPECT_EQ(FolderOf(u""), u"");
    EXPECT_EQ(FolderOf(u"C:\\Music\\"), u"C:\\Music");
    EXPECT_EQ(FolderOf(u"\\\\srv\\share\\a.wav"), u"\\\\srv\\share");
    // Whatever the code page: 表 (95 5C in Shift-JIS) and Hangul are letters.
    EXPECT_EQ(FolderOf(u"C:\\表\\한국 노래.mp3"), u"C:\\表");
    EXPECT_EQ(FolderOf(u"C:\\Users\\José 한\\Velumira\\😀.wav"), u"C:\\Users\\José 한\\Velumira");
}

TEST(WithoutTrailingBackslash, DropsExactlyOneBackslash) {
    EXPECT_EQ(WithoutTrailingBackslash(u"C:\\Music\\"), u"C:\\Music");
    EXPECT_EQ(WithoutTrailingBackslash(u"C:\\Music\\\\"), u"C:\\Music\\");
    EXPECT_EQ(WithoutTrailingBackslash(u"C:\\a.mp3"), u"C:\\a.mp3");
    EXPECT_EQ(WithoutTrailingBackslash(u""), u"");
    EXPECT_EQ(WithoutTrailingBackslash(u"C:\\表"), u"C:\\表");
}

namespace {

struct Files {
    std::set<std::u16string> existing;
    bool operator()(const std::u16string& p) const { return existing.count(p) != 0; }
};

BgmSettings Resolve(const std::u16string& kind, const std::u16string& track,
                    const std::u16string& file, const Files& files = {}, BgmSettings current = {}) {
    return ResolveSettings(current, kind, track, file, files, u"C:\\Host");
}

} // namespace

TEST(ResolveSettings, NoFileGivesDefaultsAndTheHostFolder) {
    const BgmSettings s = Resolve(u"", u"", u"");
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.track, 0);
    EXPECT_EQ(s.file, u"");
    EXPECT_EQ(s.folder, u"C:\\Host");
}

TEST(ResolveSettings, FileKindWithoutAUsableFileFallsBackToNone) {
    BgmSettings s = Resolve(u" 2", u" 4", u"C:\\gone.mp3");
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.track, 4);
    EXPECT_EQ(s.file, u"");
    EXPECT_EQ(s.folder, u"C:\\Host");

    s = Resolve(u" 2", u"", u"");
    EXPECT_EQ(s.kind, 0);
}

TEST(ResolveSettings, OtherKindsStayWhenTheFileIsMissing) {
    EXPECT_EQ(Resolve(u" 1", u"", u"").kind, 1);
    EXPECT_EQ(Resolve(u" 1", u"", u"C:\\gone.mp3").kind, 1);
    EXPECT_EQ(Resolve(u"5", u"", u"").kind, 5);
    EXPECT_EQ(Resolve(u"-1", u"", u"").kind, -1);
}

TEST(ResolveSettings, AnExistingFileIsKeptAndGivesTheFolder) {
    const Files files{{u"C:\\a.mp3", u"C:\\Music\\b.wav"}};
    BgmSettings s = Resolve(u" 2", u"", u"C:\\a.mp3", files);
    EXPECT_EQ(s.kind, 2);
    EXPECT_EQ(s.file, u"C:\\a.mp3");
    EXPECT_EQ(s.folder, u"C:");
    s = Resolve(u" 1", u"", u"C:\\Music\\b.wav", files);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.file, u"C:\\Music\\b.wav");
    EXPECT_EQ(s.folder, u"C:\\Music");
}

TEST(ResolveSettings, UnreadableNumbersKeepThePreviousValues) {
    BgmSettings current;
    current.kind = 1;
    current.track = 9;
    BgmSettings s = Resolve(u"abc", u"40000", u"", {}, current);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.track, 9);
    // A kept 2 still needs its file.
    current.kind = 2;
    s = Resolve(u"abc", u"", u"", {}, current);
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.track, 0);
}
