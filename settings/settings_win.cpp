#include "settings.h"

#include <windows.h>

#include <vector>

int16_t BgmKind = 0;
int16_t BgmTrack = 0;
std::string BgmFile;
std::string BgmFolder;

namespace {

bool IsAnsiLeadByte(unsigned char c) {
    return IsDBCSLeadByte(c) != FALSE;
}

// Names reach the profile API through a 128-character field, so at most 127
// characters of a section or key name survive.
std::string FixedName(const std::string& name) {
    return name.substr(0, 127);
}

} // namespace

std::string ReadIniString(const std::string& section, const std::string& key,
                          const std::string& file) {
    char buffer[256] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof buffer, file.c_str());
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    return WritePrivateProfileStringA(FixedName(section).c_str(), FixedName(key).c_str(),
                                      value.c_str(), file.c_str()) != FALSE;
}

bool WriteIniStrings(const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& keys,
                     const std::string& file) {
    const std::string copy = file + ".new";
    DeleteFileA(copy.c_str()); // left by a run that died half-way
    // A missing file is fine (the first write makes the copy); a file that
    // exists but cannot be read is not: its other contents would be lost. A
    // read-only file is the user's wish and stays as it is.
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ((attributes & FILE_ATTRIBUTE_READONLY) || !CopyFileA(file.c_str(), copy.c_str(), FALSE)))
        return false;
    bool ok = true;
    for (const auto& [key, value] : keys)
        ok = ok && WriteIniString(section, key, value, copy);
    ok = ok && MoveFileExA(copy.c_str(), file.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(copy.c_str());
    return ok;
}

bool FileExists(const std::string& path) {
    const std::string target = velumira::WithoutTrailingBackslash(path, IsAnsiLeadByte);
    bool exists = false;
    if (!target.empty()) {
        // No "insert a disk" box for an empty floppy or CD drive.
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        HANDLE h = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        SetErrorMode(oldMode);
        if (h != INVALID_HANDLE_VALUE) {
            exists = true;
            CloseHandle(h);
        }
    }
    SetLastError(ERROR_SUCCESS);
    return exists;
}

std::string FolderOf(const std::string& path) {
    return velumira::FolderOf(path, IsAnsiLeadByte);
}

std::string HostFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return FolderOf(std::string(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

std::string SettingsFilePath() {
    return HostFolder() + "\\" + velumira::kIniFileName;
}

void LoadSettings() {
    const std::string file = SettingsFilePath();
    velumira::BgmSettings current;
    current.kind = BgmKind;
    current.track = BgmTrack;
    current.file = BgmFile;
    current.folder = BgmFolder;
    const velumira::BgmSettings s = velumira::ResolveSettings(
        current, ReadIniString(velumira::kIniSection, velumira::kKeyBgmKind, file),
        ReadIniString(velumira::kIniSection, velumira::kKeyBgmTrack, file),
        ReadIniString(velumira::kIniSection, velumira::kKeyBgmFile, file), FileExists, HostFolder(),
        static_cast<std::string (*)(const std::string&)>(FolderOf));
    BgmKind = s.kind;
    BgmTrack = s.track;
    BgmFile = s.file;
    BgmFolder = s.folder;
}
