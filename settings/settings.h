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
extern int16_t BgmKind;       // 0 none, 1 audio CD, 2 music file
extern int16_t BgmTrack;      // CD track to keep repeating, 0 for none
extern std::string BgmFile;   // MP3 or WAV path; empty when none or missing
extern std::string BgmFolder; // where the file chooser opens

// Value of one key, or "" when the key, section or file is missing. Values
// longer than 255 bytes come back cut to their first 255 bytes.
std::string ReadIniString(const std::string& section, const std::string& key,
                          const std::string& file);

// Writes one key; false when the file could not be written (read-only file
// or folder, full disk, file held open by another program).
bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file);

// Writes every key or none: they go into a copy beside the file, which then
// takes the file's place in one step. False, with the file as it was, when
// the copy cannot be made, written or put in place.
bool WriteIniStrings(const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& keys,
                     const std::string& file);

// Fills BgmKind, BgmTrack, BgmFile and BgmFolder from the settings file.
void LoadSettings();

// True when the path names a file that can be opened for reading; folders,
// locked files and the empty path give false. One trailing '\' is ignored.
bool FileExists(const std::string& path);

// Folder part of a path in the system's ANSI code page (see velumira::FolderOf).
std::string FolderOf(const std::string& path);

// Folder of the running host program, without a trailing '\'.
std::string HostFolder();

// Full path of the settings file: HostFolder() + "\Velumira.ini".
std::string SettingsFilePath();
