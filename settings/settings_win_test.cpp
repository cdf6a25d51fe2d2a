// The settings module against the real profile API, run in a code page 932
// Wine world; the settings file is the one beside this test program.
#include "settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "file_bytes.h"

#include <cstdio>

using namespace velumira;

namespace {

using velumira::test_support::ReadBytes;

void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The test program's folder is plain ASCII, so its paths pass as narrow text.
std::string Narrow(const std::u16string& path) {
    return AsciiOf(path);
}
std::u16string U(const std::string& ascii) {
    return Utf16OfAscii(ascii);
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "tests expect the Japanese ANSI code page";
        ini = Narrow(SettingsFilePath());
        scratch = Narrow(HostFolder()) + "\\settings_scratch";
        DeleteFileA(ini.c_str());
        CreateDirectoryA(scratch.c_str(), nullptr);
        BgmKind = 0;
        BgmTrack = 0;
        BgmFile.clear();
        BgmFolder.clear();
    }
    void TearDown() override {
        DeleteFileA(ini.c_str());
        DeleteFileA((scratch + "\\a.mp3").c_str());
        RemoveDirectoryA(scratch.c_str());
    }
    void WriteIni(const std::string& kind, const std::string& track, const std::string& file) {
        WriteBytes(ini, "[Section]\r\n" + std::string(kKeyBgmKind) + "=" + kind + "\r\n" +
                            kKeyBgmTrack + "=" + track + "\r\n" + kKeyBgmFile + "=" + file +
                            "\r\n");
    }
    std::string MakeMusicFile() {
        const std::string path = scratch + "\\a.mp3";
        WriteBytes(path, "ID3");
        return path;
    }

    std::string ini, scratch;
};

} // namespace

TEST_F(SettingsFile, LivesBesideTheHostProgram) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string folder = Narrow(HostFolder());
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(std::string(exe).rfind(folder + "\\", 0), 0u) << exe;
    EXPECT_EQ(ini, folder + "\\Velumira.ini");
}

TEST_F(SettingsFile, WritesTheShiftJisKeyBytesInOrder) {
    WriteIniString(kIniSection, kKeyBgmKind, U(FormatIniNumber(2)), U(ini));
    WriteIniString(kIniSection, kKeyBgmTrack, U(FormatIniNumber(0)), U(ini));
    WriteIniString(kIniSection, kKeyBgmFile, u"C:\\Music\\a.mp3", U(ini));
    // Wine's profile writer drops the blank the numbers are handed over with;
    // they read back as the same number either way.
    EXPECT_EQ(ReadBytes(ini), "[Section]\r\n"
                              "\x42\x47\x4D\x8B\xE6\x95\xAA=2\r\n"
                              "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4=0\r\n"
                              "\x42\x47\x4D\xCC\xA7\xB2\xD9=C:\\Music\\a.mp3\r\n");
}

TEST_F(SettingsFile, ReadsEmptyForWhatIsMissing) {
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmKind, U(ini)), u""); // no file
    WriteIni("1", "", "");
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmKind, U(ini)), u"1");
    EXPECT_EQ(ReadIniString("Other", kKeyBgmKind, U(ini)), u"");
    EXPECT_EQ(ReadIniString(kIniSection, "BGM", U(ini)), u"");
}

TEST_F(SettingsFile, LongValuesComeBackCutTo255Characters) {
    const std::u16string exact(255, u'x');
    WriteIniString(kIniSection, kKeyBgmFile, exact, U(ini));
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, U(ini)), exact);
    const std::u16string longer = std::u16string(255, u'y') + u"zzzz";
    WriteIniString(kIniSection, kKeyBgmFile, longer, U(ini));
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, U(ini)), std::u16string(255, u'y'));
}

TEST_F(SettingsFile, NamesAreCutTo127Characters) {
    WriteIniString(kIniSection, std::string(127, 'k') + "XYZ", u"v", U(ini));
    EXPECT_NE(ReadBytes(ini).find("\r\n" + std::string(127, 'k') + "=v\r\n"), std::string::npos);
}

TEST_F(SettingsFile, LoadWithoutAFileGivesDefaults) {
    BgmTrack = 5;
    LoadSettings();
    EXPECT_EQ(BgmKind, 0);
    EXPECT_EQ(BgmTrack, 0);
    EXPECT_EQ(BgmFile, u"");
    EXPECT_EQ(BgmFolder, HostFolder());
}

TEST_F(SettingsFile, LoadReadsNumbersTheWayTheDialogWritesThem) {
    WriteIni(" 1", "3.7", "");
    LoadSettings();
    EXPECT_EQ(BgmKind, 1);
    EXPECT_EQ(BgmTrack, 3);

    WriteIni("abc", "40000", "");
    LoadSettings();
    EXPECT_EQ(BgmKind, 1) << "unreadable numbers keep the previous value";
    EXPECT_EQ(BgmTrack, 3);
}

TEST_F(SettingsFile, LoadKeepsAnExistingMusicFile) {
    const std::string music = MakeMusicFile();
    WriteIni(" 2", " 0", music);
    LoadSettings();
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(BgmFile, U(music));
    EXPECT_EQ(BgmFolder, U(scratch));
}

TEST_F(SettingsFile, LoadDropsAMissingFileOrAFolderAndTheFileKindWithIt) {
    for (const std::string& path : {scratch + "\\gone.mp3", scratch, scratch + "\\"}) {
        BgmKind = 0;
        WriteIni(" 2", " 0", path);
        LoadSettings();
        EXPECT_EQ(BgmKind, 0) << path;
        EXPECT_EQ(BgmFile, u"") << path;
        EXPECT_EQ(BgmFolder, HostFolder()) << path;
    }
    WriteIni(" 1", " 0", scratch + "\\gone.mp3");
    LoadSettings();
    EXPECT_EQ(BgmKind, 1);
}

TEST_F(SettingsFile, FileExistsOnlyForReadableFiles) {
    const std::string music = MakeMusicFile();
    EXPECT_TRUE(FileExists(U(music)));
    EXPECT_TRUE(FileExists(U(music + "\\"))); // one trailing backslash is ignored
    EXPECT_FALSE(FileExists(U(music + "\\\\")));
    EXPECT_FALSE(FileExists(U(scratch)));
    EXPECT_FALSE(FileExists(U(scratch + "\\")));
    EXPECT_FALSE(FileExists(U(scratch + "\\gone.mp3")));
    EXPECT_FALSE(FileExists(u""));

    HANDLE locked = CreateFileA(music.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(U(music)));
    CloseHandle(locked);

    SetLastError(ERROR_ACCESS_DENIED);
    FileExists(U(scratch + "\\gone.mp3"));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "a failed open leaves no error behind";
}

TEST_F(SettingsFile, AnAnsiPathReadsBackAsItsCharacters) {
    const std::string music = scratch + "\\\x95\x5C.mp3"; // 表.mp3
    WriteBytes(music, "ID3");
    WriteIni(" 2", " 0", music);
    LoadSettings();
    EXPECT_EQ(BgmFile, U(scratch) + u"\\表.mp3");
    EXPECT_EQ(BgmFolder, U(scratch));
    DeleteFileA(music.c_str());
}

TEST_F(SettingsFile, SeveralKeysAreWrittenAllOrNone) {
    const std::vector<std::pair<std::string, std::u16string>> keys = {
        {kKeyBgmKind, u" 2"}, {kKeyBgmTrack, u" 0"}, {kKeyBgmFile, u"C:\\a.mp3"}};
    const std::string copy = ini + ".new";
    const std::string before =
        "[Other]\r\nkept=1\r\n[Section]\r\n" + std::string(kKeyBgmKind) + "=1\r\n";

    // Other sections survive; no copy is left behind.
    WriteBytes(ini, before);
    EXPECT_TRUE(WriteIniStrings(kIniSection, keys, U(ini)));
    EXPECT_EQ(ReadIniString("Other", "kept", U(ini)), u"1");
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, U(ini)), u"C:\\a.mp3");
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    // A read-only file, and one another program holds open, stay as they were.
    WriteBytes(ini, before);
    ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteIniStrings(kIniSection, keys, U(ini)));
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteIniStrings(kIniSection, keys, U(ini)));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    // No folder to write into at all.
    EXPECT_FALSE(WriteIniStrings(kIniSection, keys, U(scratch + "\\missing\\Velumira.ini")));
    EXPECT_FALSE(WriteIniString(kIniSection, kKeyBgmKind, u" 1", U(scratch + "\\missing\\x.ini")));
}

TEST_F(SettingsFile, MusicPathsOutsideTheCodePageSurviveAndOlderVersionsFindNoFile) {
    const std::string before = "[Other]\r\nkept=1\r\n";
    const auto apply = [](const std::u16string& path) {
        return std::vector<std::pair<std::string, std::u16string>>{
            {kKeyBgmKind, u" 2"}, {kKeyBgmTrack, u" 0"}, {kKeyBgmFile, path}};
    };

    // A path the code page holds: the very bytes the ANSI profile calls write.
    const std::string ansiPath = "C:\\Music\\\x95\x5C\xCC\xA7\xB2\xD9.mp3"; // 表ﾌｧｲﾙ.mp3
    const std::string reference = scratch + "\\reference.ini";
    WriteBytes(reference, before);
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {kKeyBgmKind, " 2"}, {kKeyBgmTrack, " 0"}, {kKeyBgmFile, ansiPath}})
        WritePrivateProfileStringA(kIniSection, key.c_str(), value.c_str(), reference.c_str());
    WriteBytes(ini, before);
    ASSERT_TRUE(WriteIniStrings(kIniSection, apply(FromAnsi(ansiPath)), U(ini)));
    EXPECT_EQ(ReadBytes(ini), ReadBytes(reference));
    DeleteFileA(reference.c_str());

    // Any other path turns the file into UTF-16 and comes back exactly.
    const std::u16string music = U(scratch) + u"\\한국 노래 Café 😀.mp3";
    const std::wstring wideMusic(music.begin(), music.end());
    HANDLE h = CreateFileW(wideMusic.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    ASSERT_TRUE(WriteIniStrings(kIniSection, apply(music), U(ini)));
    EXPECT_EQ(ReadBytes(ini).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(GetFileAttributesA((ini + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
    LoadSettings();
    EXPECT_EQ(BgmKind, 2);
    EXPECT_EQ(BgmFile, music);
    EXPECT_EQ(BgmFolder, U(scratch));
    EXPECT_EQ(ReadIniString("Other", "kept", U(ini)), u"1");

    // An older version reads its keys through the ANSI calls as before, gets
    // the path with '?' for what the code page lacks, finds no such file and
    // so plays nothing.
    char old[256] = {};
    GetPrivateProfileStringA(kIniSection, kKeyBgmKind, "", old, sizeof old, ini.c_str());
    EXPECT_STREQ(old, "2");
    GetPrivateProfileStringA(kIniSection, kKeyBgmFile, "", old, sizeof old, ini.c_str());
    EXPECT_NE(std::string(old).find('?'), std::string::npos) << old;
    EXPECT_EQ(CreateFileA(old, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);

    // The file stays UTF-16 for whatever is written next.
    ASSERT_TRUE(WriteIniStrings(kIniSection, apply(u"C:\\a.mp3"), U(ini)));
    EXPECT_EQ(ReadBytes(ini).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, U(ini)), u"C:\\a.mp3");
    DeleteFileW(wideMusic.c_str());
}
