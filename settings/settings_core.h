// Platform-free rules of the settings file: how its texts become numbers and
// back, and the path helpers. The Win32 side (settings_win.cpp) only moves
// bytes between these rules and the profile API.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// Paths are UTF-16, as the system hands them over and takes them back; a
// path goes through the ANSI code page only to be stored (see below).

// The part of a path before its last ':' or '\', without a trailing '\':
// C:\Music\a.mp3 -> C:\Music, C:\a.mp3 -> C:, D:a.mp3 -> D:, a.mp3 -> "".
std::u16string FolderOf(const std::u16string& path);

// The path FileExists tries to open: one trailing backslash dropped.
std::u16string WithoutTrailingBackslash(const std::u16string& path);

// ASCII text (numbers, fixed words) as UTF-16, and back; a character outside
// ASCII comes back as '?', which no number or fixed word holds.
std::u16string Utf16OfAscii(const std::string& text);
std::string AsciiOf(const std::u16string& text);

// The system's ANSI code page, with which the profile functions turn an ANSI
// settings file into text and back, and with which older versions of this
// program read the file.
struct AnsiCodePage {
    // The code page's bytes for `text`; false when some character has no
    // byte sequence of its own (a look-alike standing in does not count).
    std::function<bool(const std::u16string& text, std::string& bytes)> encode;
    std::function<std::u16string(const std::string& bytes)> decode;
};

// True when `text` comes back from a trip through the code page unchanged.
bool Representable(const std::u16string& text, const AnsiCodePage& codePage);

// How the settings file is stored. It stays in the ANSI code page, as every
// version has written it, while every value it holds can be written there.
// A value that cannot (a music path with Hangul or accented letters on a
// Japanese system) turns it into UTF-16LE after a byte-order mark: the
// profile functions read and write such a file as it is and keep it so, and
// an older version reads the keys from it as before but gets such a path with
// '?' (or a look-alike) in place of what its code page lacks. The file never
// turns back: a later write of a representable value into a UTF-16 file is
// what any version writes there.
bool IsUtf16IniFile(const std::string& bytes);
bool NeedsUtf16IniFile(bool fileIsUtf16, const std::vector<std::u16string>& values,
                       const AnsiCodePage& codePage);
// The bytes of an ANSI settings file as the UTF-16 file with the same text.
std::string Utf16IniFile(const std::string& ansiBytes, const AnsiCodePage& codePage);

// The values LoadSettings fills, decided from the three texts read from the
// file. `fileExists` tells whether a stored music path names a readable file;
// `hostFolder` is where the file chooser opens when there is no music file.
struct BgmSettings {
    int16_t kind = 0;
    int16_t track = 0;
    std::u16string file;
    std::u16string folder;
};
BgmSettings ResolveSettings(const BgmSettings& current, const std::u16string& kindText,
                            const std::u16string& trackText, const std::u16string& fileText,
                            const std::function<bool(const std::u16string&)>& fileExists,
                            const std::u16string& hostFolder);

} // namespace velumira
