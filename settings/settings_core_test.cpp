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
    EXPECT_EQ(FolderOf("C:\\Music\\a.mp3", IsShiftJisLeadByte), "C:\\Music");
    EXPECT_EQ(FolderOf("C:\\a.mp3", IsShiftJisLeadByte), "C:");
    EXPECT_EQ(FolderOf("D:a.mp3", IsShiftJisLeadByte), "D:");
    EXPECT_EQ(FolderOf("a.mp3", IsShiftJisLeadByte), "");
    EXPECT_EQ(FolderOf("", IsShiftJisLeadByte), "");
    EXPECT_EQ(FolderOf("C:\\Music\\", IsShiftJisLeadByte), "C:\\Music");
    EXPECT_EQ(FolderOf("\\\\srv\\share\\a.wav", IsShiftJisLeadByte), "\\\\srv\\share");
}

TEST(FolderOf, ATrailByteThatLooksLikeABackslashIsNoSeparator) {
    // 表 is 95 5C in Shift-JIS; its second byte is not a path separator.
    const std::string hyo = "\x95\x5C";
    EXPECT_EQ(FolderOf("C:\\Music\\" + hyo + ".mp3", IsShiftJisLeadByte), "C:\\Music");
    EXPECT_EQ(FolderOf("C:\\" + hyo + "\\a.mp3", IsShiftJisLeadByte), "C:\\" + hyo);
    EXPECT_EQ(FolderOf("C:\\" + hyo, IsShiftJisLeadByte), "C:");
    // A single-byte code page reads the same bytes as two characters.
    EXPECT_EQ(FolderOf("C:\\Music\\" + hyo + ".mp3", IsNeverLeadByte), "C:\\Music\\\x95");
    // A lead byte at the very end has no partner and stays one character.
    EXPECT_EQ(FolderOf("C:\\x\\\x95", IsShiftJisLeadByte), "C:\\x");
}

TEST(WithoutTrailingBackslash, DropsExactlyOneSingleByteBackslash) {
    EXPECT_EQ(WithoutTrailingBackslash("C:\\Music\\", IsShiftJisLeadByte), "C:\\Music");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\Music\\\\", IsShiftJisLeadByte), "C:\\Music\\");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\a.mp3", IsShiftJisLeadByte), "C:\\a.mp3");
    EXPECT_EQ(WithoutTrailingBackslash("", IsShiftJisLeadByte), "");
    EXPECT_EQ(WithoutTrailingBackslash("C:\\\x95\x5C", IsShiftJisLeadByte), "C:\\\x95\x5C");
}

namespace {

struct Files {
    std::set<std::string> existing;
    bool operator()(const std::string& p) const { return existing.count(p) != 0; }
};

std::string SjisFolderOf(const std::string& p) {
    return FolderOf(p, IsShiftJisLeadByte);
}

BgmSettings Resolve(const std::string& kind, const std::string& track, const std::string& file,
                    const Files& files = {}, BgmSettings current = {}) {
    return ResolveSettings(current, kind, track, file, files, "C:\\Host", SjisFolderOf);
}

} // namespace

TEST(ResolveSettings, NoFileGivesDefaultsAndTheHostFolder) {
    const BgmSettings s = Resolve("", "", "");
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.track, 0);
    EXPECT_EQ(s.file, "");
    EXPECT_EQ(s.folder, "C:\\Host");
}

TEST(ResolveSettings, FileKindWithoutAUsableFileFallsBackToNone) {
    BgmSettings s = Resolve(" 2", " 4", "C:\\gone.mp3");
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.track, 4);
    EXPECT_EQ(s.file, "");
    EXPECT_EQ(s.folder, "C:\\Host");

    s = Resolve(" 2", "", "");
    EXPECT_EQ(s.kind, 0);
}

TEST(ResolveSettings, OtherKindsStayWhenTheFileIsMissing) {
    EXPECT_EQ(Resolve(" 1", "", "").kind, 1);
    EXPECT_EQ(Resolve(" 1", "", "C:\\gone.mp3").kind, 1);
    EXPECT_EQ(Resolve("5", "", "").kind, 5);
    EXPECT_EQ(Resolve("-1", "", "").kind, -1);
}

TEST(ResolveSettings, AnExistingFileIsKeptAndGivesTheFolder) {
    const Files files{{"C:\\a.mp3", "C:\\Music\\b.wav"}};
    BgmSettings s = Resolve(" 2", "", "C:\\a.mp3", files);
    EXPECT_EQ(s.kind, 2);
    EXPECT_EQ(s.file, "C:\\a.mp3");
    EXPECT_EQ(s.folder, "C:");
    s = Resolve(" 1", "", "C:\\Music\\b.wav", files);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.file, "C:\\Music\\b.wav");
    EXPECT_EQ(s.folder, "C:\\Music");
}

TEST(ResolveSettings, UnreadableNumbersKeepThePreviousValues) {
    BgmSettings current;
    current.kind = 1;
    current.track = 9;
    BgmSettings s = Resolve("abc", "40000", "", {}, current);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.track, 9);
    // A kept 2 still needs its file.
    current.kind = 2;
    s = Resolve("abc", "", "", {}, current);
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.track, 0);
}
