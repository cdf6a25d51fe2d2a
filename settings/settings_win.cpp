#include "settings.h"

#include <windows.h>

#include <vector>

int16_t BgmKind = 0;
int16_t BgmTrack = 0;
std::u16string BgmFile;
std::u16string BgmFolder;

namespace {

// Names reach the profile API through a 128-character field, so at most 127
// characters of a section or key name survive.
std::wstring FixedName(const std::string& name) {
    return ToWide(FromAnsi(name.substr(0, 127)));
}

// The whole of a small file; false when it cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(h);
    return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    return CloseHandle(h) && ok;
}

// Makes the settings file's copy UTF-16 when one of `keys` cannot be written
// into it as ANSI text. A missing copy becomes an empty UTF-16 file.
bool PrepareCopyFor(const std::vector<std::pair<std::string, std::u16string>>& keys,
                    const std::wstring& copy, bool copyExists) {
    std::string bytes;
    if (copyExists && !ReadFileBytes(copy, bytes)) return false;
    std::vector<std::u16string> values;
    for (const auto& key : keys)
        values.push_back(key.second);
    const velumira::AnsiCodePage codePage = SystemAnsiCodePage();
    if (!velumira::NeedsUtf16IniFile(velumira::IsUtf16IniFile(bytes), values, codePage))
        return true;
    return WriteFileBytes(copy, velumira::Utf16IniFile(bytes, codePage));
}

} // namespace

std::wstring ToWide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string FromWide(const wchar_t* text) {
    const std::wstring wide(text);
    return std::u16string(wide.begin(), wide.end());
}

velumira::AnsiCodePage SystemAnsiCodePage() {
    velumira::AnsiCodePage codePage;
    codePage.encode = [](const std::u16string& text, std::string& bytes) {
        bytes.clear();
        if (text.empty()) return true;
        const std::wstring wide = ToWide(text);
        // A UTF-8 system code page holds everything and takes neither the
        // flag nor the question.
        const bool utf8 = GetACP() == CP_UTF8;
        const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
        BOOL usedDefault = FALSE;
        BOOL* askDefault = utf8 ? nullptr : &usedDefault;
        const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), nullptr, 0,
                                          nullptr, askDefault);
        if (n <= 0) return false;
        bytes.resize(n);
        WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), bytes.data(), n, nullptr,
                            askDefault);
        return !usedDefault;
    };
    codePage.decode = [](const std::string& bytes) { return FromAnsi(bytes); };
    return codePage;
}

std::u16string FromAnsi(const std::string& text) {
    if (text.empty()) return std::u16string();
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
    return std::u16string(wide.begin(), wide.end());
}

std::u16string ReadIniString(const std::string& section, const std::string& key,
                             const std::u16string& file) {
    wchar_t buffer[256] = {};
    GetPrivateProfileStringW(ToWide(FromAnsi(section)).c_str(), ToWide(FromAnsi(key)).c_str(), L"",
                             buffer, 256, ToWide(file).c_str());
    buffer[255] = L'\0';
    return FromWide(buffer);
}

bool WriteIniString(const std::string& section, const std::string& key, const std::u16string& value,
                    const std::u16string& file) {
    return WritePrivateProfileStringW(FixedName(section).c_str(), FixedName(key).c_str(),
                                      ToWide(value).c_str(), ToWide(file).c_str()) != FALSE;
}

bool WriteIniStrings(const std::string& section,
                     const std::vector<std::pair<std::string, std::u16string>>& keys,
                     const std::u16string& file) {
    const std::u16string copy = file + u".new";
    const std::wstring wideFile = ToWide(file), wideCopy = ToWide(copy);
    DeleteFileW(wideCopy.c_str()); // left by a run that died half-way
    // A missing file is fine (the first write makes the copy); a file that
    // exists but cannot be read is not: its other contents would be lost. A
    // read-only file is the user's wish and stays as it is.
    const DWORD attributes = GetFileAttributesW(wideFile.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && ((attributes & FILE_ATTRIBUTE_READONLY) ||
                   !CopyFileW(wideFile.c_str(), wideCopy.c_str(), FALSE)))
        return false;
    bool ok = PrepareCopyFor(keys, wideCopy, exists);
    for (const auto& [key, value] : keys)
        ok = ok && WriteIniString(section, key, value, copy);
    ok = ok && MoveFileExW(wideCopy.c_str(), wideFile.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(wideCopy.c_str());
    return ok;
}

bool FileExists(const std::u16string& path) {
    const std::u16string target = velumira::WithoutTrailingBackslash(path);
    bool exists = false;
    if (!target.empty()) {
        // No "insert a disk" box for an empty floppy or CD drive.
        const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        HANDLE h =
            CreateFileW(ToWide(target).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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

std::u16string HostFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::u16string();
        if (n < buffer.size()) return velumira::FolderOf(FromWide(buffer.data()));
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string SettingsFilePath() {
    return HostFolder() + u"\\" + FromAnsi(velumira::kIniFileName);
}

void LoadSettings() {
    const std::u16string file = SettingsFilePath();
    velumira::BgmSettings current;
    current.kind = BgmKind;
    current.track = BgmTrack;
    current.file = BgmFile;
    current.folder = BgmFolder;
    const velumira::BgmSettings s = velumira::ResolveSettings(
        current, ReadIniString(velumira::kIniSection, velumira::kKeyBgmKind, file),
        ReadIniString(velumira::kIniSection, velumira::kKeyBgmTrack, file),
        ReadIniString(velumira::kIniSection, velumira::kKeyBgmFile, file), FileExists,
        HostFolder());
    BgmKind = s.kind;
    BgmTrack = s.track;
    BgmFile = s.file;
    BgmFolder = s.folder;
}
