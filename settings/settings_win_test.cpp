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

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "tests expect the Japanese ANSI code page";
        ini = SettingsFilePath();
        scratch = HostFolder() + "\\settings_scratch";
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
    const std::string folder = HostFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(std::string(exe).rfind(folder + "\\", 0), 0u) << exe;
    EXPECT_EQ(ini, folder + "\\Velumira.ini");
}

TEST_F(SettingsFile, WritesTheShiftJisKeyBytesInOrder) {
    WriteIniString(kIniSection, kKeyBgmKind, FormatIniNumber(2), ini);
    WriteIniString(kIniSection, kKeyBgmTrack, FormatIniNumber(0), ini);
    WriteIniString(kIniSection, kKeyBgmFile, "C:\\Music\\a.mp3", ini);
    // Wine's profile writer drops the blank the numbers are handed over with;
    // they read back as the same number either way.
    EXPECT_EQ(ReadBytes(ini), "[Section]\r\n"
                              "\x42\x47\x4D\x8B\xE6\x95\xAA=2\r\n"
                              "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4=0\r\n"
                              "\x42\x47\x4D\xCC\xA7\xB2\xD9=C:\\Music\\a.mp3\r\n");
}

TEST_F(SettingsFile, ReadsEmptyForWhatIsMissing) {
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmKind, ini), ""); // no file
    WriteIni("1", "", "");
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmKind, ini), "1");
    EXPECT_EQ(ReadIniString("Other", kKeyBgmKind, ini), "");
    EXPECT_EQ(ReadIniString(kIniSection, "BGM", ini), "");
}

TEST_F(SettingsFile, LongValuesComeBackCutTo255Bytes) {
    const std::string exact(255, 'x');
    WriteIniString(kIniSection, kKeyBgmFile, exact, ini);
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, ini), exact);
    const std::string longer = std::string(255, 'y') + "zzzz";
    WriteIniString(kIniSection, kKeyBgmFile, longer, ini);
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, ini), std::string(255, 'y'));
}

TEST_F(SettingsFile, NamesAreCutTo127Characters) {
    WriteIniString(kIniSection, std::string(127, 'k') + "XYZ", "v", ini);
    EXPECT_NE(ReadBytes(ini).find("\r\n" + std::string(127, 'k') + "=v\r\n"), std::string::npos);
}

TEST_F(SettingsFile, LoadWithoutAFileGivesDefaults) {
    BgmTrack = 5;
    LoadSettings();
    EXPECT_EQ(BgmKind, 0);
    EXPECT_EQ(BgmTrack, 0);
    EXPECT_EQ(BgmFile, "");
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
    EXPECT_EQ(BgmFile, music);
    EXPECT_EQ(BgmFolder, scratch);
}

TEST_F(SettingsFile, LoadDropsAMissingFileOrAFolderAndTheFileKindWithIt) {
    for (const std::string& path : {scratch + "\\gone.mp3", scratch, scratch + "\\"}) {
        BgmKind = 0;
        WriteIni(" 2", " 0", path);
        LoadSettings();
        EXPECT_EQ(BgmKind, 0) << path;
        EXPECT_EQ(BgmFile, "") << path;
        EXPECT_EQ(BgmFolder, HostFolder()) << path;
    }
    WriteIni(" 1", " 0", scratch + "\\gone.mp3");
    LoadSettings();
    EXPECT_EQ(BgmKind, 1);
}

TEST_F(SettingsFile, FileExistsOnlyForReadableFiles) {
    const std::string music = MakeMusicFile();
    EXPECT_TRUE(FileExists(music));
    EXPECT_TRUE(FileExists(music + "\\")); // one trailing backslash is ignored
    EXPECT_FALSE(FileExists(music + "\\\\"));
    EXPECT_FALSE(FileExists(scratch));
    EXPECT_FALSE(FileExists(scratch + "\\"));
    EXPECT_FALSE(FileExists(scratch + "\\gone.mp3"));
    EXPECT_FALSE(FileExists(""));

    HANDLE locked = CreateFileA(music.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FileExists(music));
    CloseHandle(locked);

    SetLastError(ERROR_ACCESS_DENIED);
    FileExists(scratch + "\\gone.mp3");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "a failed open leaves no error behind";
}

TEST_F(SettingsFile, FolderOfFollowsTheAnsiCodePage) {
    EXPECT_EQ(FolderOf("C:\\Music\\a.mp3"), "C:\\Music");
    EXPECT_EQ(FolderOf("C:\\Music\\\x95\x5C.mp3"), "C:\\Music"); // 表.mp3
}

TEST_F(SettingsFile, SeveralKeysAreWrittenAllOrNone) {
    const std::vector<std::pair<std::string, std::string>> keys = {
        {kKeyBgmKind, " 2"}, {kKeyBgmTrack, " 0"}, {kKeyBgmFile, "C:\\a.mp3"}};
    const std::string copy = ini + ".new";
    const std::string before =
        "[Other]\r\nkept=1\r\n[Section]\r\n" + std::string(kKeyBgmKind) + "=1\r\n";

    // Other sections survive; no copy is left behind.
    WriteBytes(ini, before);
    EXPECT_TRUE(WriteIniStrings(kIniSection, keys, ini));
    EXPECT_EQ(ReadIniString("Other", "kept", ini), "1");
    EXPECT_EQ(ReadIniString(kIniSection, kKeyBgmFile, ini), "C:\\a.mp3");
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    // A read-only file, and one another program holds open, stay as they were.
    WriteBytes(ini, before);
    ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteIniStrings(kIniSection, keys, ini));
    SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    HANDLE held = CreateFileA(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteIniStrings(kIniSection, keys, ini));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);

    // No folder to write into at all.
    EXPECT_FALSE(WriteIniStrings(kIniSection, keys, scratch + "\\missing\\Velumira.ini"));
    EXPECT_FALSE(WriteIniString(kIniSection, kKeyBgmKind, " 1", scratch + "\\missing\\x.ini"));
}
