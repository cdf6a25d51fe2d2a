// Platform-free rules of the settings file: how its texts become numbers and
// back, and the path helpers. The Win32 side (settings_win.cpp) only moves
// bytes between these rules and the profile API.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace velumira {

// Section and key names as they appear in the file. The keys are Shift-JIS
// (code page 932) and must match byte for byte, so they are spelled as bytes.
inline constexpr char kIniFileName[] = "Velumira.ini";
inline constexpr char kIniSection[] = "Section";
inline constexpr char kKeyBgmKind[] = "BGM\x8B\xE6\x95\xAA";      // BGM区分
inline constexpr char kKeyBgmTrack[] = "BGM\xD8\xCB\xDF\xB0\xC4"; // BGMﾘﾋﾟｰﾄ
inline constexpr char kKeyBgmFile[] = "BGM\xCC\xA7\xB2\xD9";      // BGMﾌｧｲﾙ

// Music kinds stored under kKeyBgmKind.
enum : int16_t { kBgmNone = 0, kBgmCd = 1, kBgmFile = 2 };

// Reads text as a decimal number (blanks around it, optional sign, fraction
// and exponent). Returns false for anything else, including the empty text.
bool ParseNumber(const std::string& text, double& value);

// A stored integer setting: the empty text is 0; a number is floored and
// taken when it fits 16 bits; anything else leaves `current` as it was.
int16_t IniNumber(const std::string& text, int16_t current);

// The track typed into the dialog's combo: a number is rounded to the nearest
// integer (halves to even); text that is not a number, or a number that no
// 16-bit track can hold, gives 0 (no single track).
int16_t TrackFromText(const std::string& text);

// Number as the file stores it: one blank before a non-negative number, a
// minus sign before a negative one (" 0", " 7", "-1").
std::string FormatIniNumber(int value);

// Paths are ANSI text, so in a double-byte code page the second byte of a
// character may be 0x5C, the byte of '\'. The path rules walk characters, not
// bytes, and need to know which bytes start a double-byte character.
using LeadByteFn = bool (*)(unsigned char);
bool IsShiftJisLeadByte(unsigned char c);
bool IsNeverLeadByte(unsigned char c);

// The part of a path before its last ':' or '\', without a trailing '\':
// C:\Music\a.mp3 -> C:\Music, C:\a.mp3 -> C:, D:a.mp3 -> D:, a.mp3 -> "".
std::string FolderOf(const std::string& path, LeadByteFn isLeadByte);

// The path FileExists tries to open: one trailing backslash dropped.
std::string WithoutTrailingBackslash(const std::string& path, LeadByteFn isLeadByte);

// The values LoadSettings fills, decided from the three texts read from the
// file. `fileExists` tells whether a stored music path names a readable file;
// `hostFolder` is where the file chooser opens when there is no music file.
// `folderOf` is FolderOf for the code page the paths are written in.
struct BgmSettings {
    int16_t kind = 0;
    int16_t track = 0;
    std::string file;
    std::string folder;
};
BgmSettings ResolveSettings(const BgmSettings& current, const std::string& kindText,
                            const std::string& trackText, const std::string& fileText,
                            const std::function<bool(const std::string&)>& fileExists,
                            const std::string& hostFolder,
                            const std::function<std::string(const std::string&)>& folderOf);

} // namespace velumira
