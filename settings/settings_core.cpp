#include "settings_core.h"

#include <cmath>
#include <cstdlib>

namespace velumira {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool FitsInt16(double v) {
    return v >= -32768.0 && v <= 32767.0;
}

} // namespace

bool ParseNumber(const std::string& text, double& value) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;

    // Check the shape ourselves: strtod would also take hex, "inf" and "nan",
    // none of which a user or this program ever writes as a number.
    size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < end && IsDigit(text[i]))
        ++i, ++digits;
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < end && IsDigit(text[i]))
            ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != end) return false;

    const std::string number = text.substr(begin, end - begin);
    const double v = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

int16_t IniNumber(const std::string& text, int16_t current) {
    if (text.empty()) return 0;
    double v;
    if (!ParseNumber(text, v)) return current;
    v = std::floor(v);
    return FitsInt16(v) ? static_cast<int16_t>(v) : current;
}

int16_t TrackFromText(const std::string& text) {
    double v;
    if (!ParseNumber(text, v)) return 0;
    v = std::nearbyint(v); // default rounding mode: halves go to the even neighbour
    return FitsInt16(v) ? static_cast<int16_t>(v) : 0;
}

std::string FormatIniNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

bool IsShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsNeverLeadByte(unsigned char) {
    return false;
}

namespace {

// Calls visit(position) for the first byte of every character of `path`.
template <typename Visit>
void ForEachCharacter(const std::string& path, LeadByteFn isLeadByte, Visit visit) {
    for (size_t i = 0; i < path.size(); ++i) {
        visit(i);
        if (isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
    }
}

// True when the last character of the path is a single-byte '\'.
bool EndsWithBackslash(const std::string& path, LeadByteFn isLeadByte) {
    bool ends = false;
    ForEachCharacter(path, isLeadByte,
                     [&](size_t i) { ends = path[i] == '\\' && i + 1 == path.size(); });
    return ends;
}

} // namespace

std::string FolderOf(const std::string& path, LeadByteFn isLeadByte) {
    size_t cut = 0; // characters kept, in bytes: up to and including the last separator
    ForEachCharacter(path, isLeadByte, [&](size_t i) {
        if (path[i] == ':' || path[i] == '\\') cut = i + 1;
    });
    std::string folder = path.substr(0, cut);
    if (EndsWithBackslash(folder, isLeadByte)) folder.pop_back();
    return folder;
}

std::string WithoutTrailingBackslash(const std::string& path, LeadByteFn isLeadByte) {
    if (EndsWithBackslash(path, isLeadByte)) return path.substr(0, path.size() - 1);
    return path;
}

BgmSettings ResolveSettings(const BgmSettings& current, const std::string& kindText,
                            const std::string& trackText, const std::string& fileText,
                            const std::function<bool(const std::string&)>& fileExists,
                            const std::string& hostFolder,
                            const std::function<std::string(const std::string&)>& folderOf) {
    BgmSettings s = current;
    s.kind = IniNumber(kindText, s.kind);
    s.track = IniNumber(trackText, s.track);
    s.file = fileText;
    if (!s.file.empty() && !fileExists(s.file)) s.file.clear();
    // A file kind without a usable file would play nothing; fall back to silence.
    if (s.file.empty() && s.kind == kBgmFile) s.kind = kBgmNone;
    s.folder = s.file.empty() ? hostFolder : folderOf(s.file);
    return s;
}

} // namespace velumira
