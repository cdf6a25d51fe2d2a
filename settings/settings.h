// The host's settings file "Velumira.ini" beside the host program, and the
// music settings read from it. The state lives for the whole process and is
// touched only by the user-interface thread.
#pragma once

#include "settings_core.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Music settings, filled by LoadSettings and changed by the settings dialog.
extern int16_t BgmKind;          // 0 none, 1 audio CD, 2 music file
extern int16_t BgmTrack;         // CD track to keep repeating, 0 for none
extern std::u16string BgmFile;   // MP3 or WAV path; empty when none or missing
extern std::u16string BgmFolder; // where the file chooser opens

// Section and key names are text in the system's ANSI code page, as the file
// has always spelled them; values and paths are UTF-16.

// Value of one key, or "" when the key, section or file is missing. Values
// longer than 255 characters come back cut to their first 255.
std::u16string ReadIniString(const std::string& section, const std::string& key,
                             const std::u16string& file);

// Writes one key; false when the file could not be written (read-only file
// or folder, full disk, file held open by another program). The file keeps
// its encoding, so a value the ANSI code page cannot hold loses characters:
// WriteIniStrings is the one that stores such values.
bool WriteIniString(const std::string& section, const std::string& key, const std::u16string& value,
                    const std::u16string& file);

// Writes every key or none: they go into a copy beside the file, which then
// takes the file's place in one step. The copy is made UTF-16 when a value
// needs it (see NeedsUtf16IniFile). False, with the file as it was, when the
// copy cannot be made, written or put in place.
bool WriteIniStrings(const std::string& section,
                     const std::vector<std::pair<std::string, std::u16string>>& keys,
                     const std::u16string& file);

// Fills BgmKind, BgmTrack, BgmFile and BgmFolder from the settings file.
void LoadSettings();

// True when the path names a file that can be opened for reading; folders,
// locked files and the empty path give false. One trailing '\' is ignored.
bool FileExists(const std::u16string& path);

// Folder of the running host program, without a trailing '\'.
std::u16string HostFolder();

// Full path of the settings file: HostFolder() + "\Velumira.ini".
std::u16string SettingsFilePath();

// Text between this program's UTF-16 strings and the system's: the wide
// calls take the same UTF-16 under another type; the ANSI code page's text
// (the dialog's own words, the key names) converts as the "A" calls would.
std::wstring ToWide(const std::u16string& text);
std::u16string FromWide(const wchar_t* text);
std::u16string FromAnsi(const std::string& text);
velumira::AnsiCodePage SystemAnsiCodePage();
