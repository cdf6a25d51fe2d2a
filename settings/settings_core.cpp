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

std::u16string FolderOf(const std::u16string& path) {
    const size_t last = path.find_last_of(u":\\");
    std::u16string folder =
        last == std::u16string::npos ? std::u16string() : path.substr(0, last + 1);
    if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
    return folder;
}

std::u16string WithoutTrailingBackslash(const std::u16string& path) {
    if (!path.empty() && path.back() == u'\\') return path.substr(0, path.size() - 1);
    return path;
}

std::u16string Utf16OfAscii(const std::string& text) {
    std::u16string wide;
    for (char c : text)
        wide += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'?';
    return wide;
}

std::string AsciiOf(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text)
        narrow += c < 0x80 ? char(c) : '?';
    return narrow;
}

bool Representable(const std::u16string& text, const AnsiCodePage& codePage) {
    std::string bytes;
    return codePage.encode(text, bytes) && codePage.decode(bytes) == text;
}

namespace {
constexpr char kUtf16Mark[] = "\xFF\xFE"; // UTF-16LE byte-order mark
} // namespace

bool IsUtf16IniFile(const std::string& bytes) {
    return bytes.compare(0, 2, kUtf16Mark) == 0;
}

bool NeedsUtf16IniFile(bool fileIsUtf16, const std::vector<std::u16string>& values,
                       const AnsiCodePage& codePage) {
    if (fileIsUtf16) return false;
    for (const std::u16string& value : values)
        if (!Representable(value, codePage)) return true;
    return false;
}

std::string Utf16IniFile(const std::string& ansiBytes, const AnsiCodePage& codePage) {
    std::string bytes = kUtf16Mark;
    for (char16_t c : codePage.decode(ansiBytes)) {
        bytes += char(c & 0xFF);
        bytes += char(c >> 8);
    }
    return bytes;
}

BgmSettings ResolveSettings(const BgmSettings& current, const std::u16string& kindText,
                            const std::u16string& trackText, const std::u16string& fileText,
                            const std::function<bool(const std::u16string&)>& fileExists,
                            const std::u16string& hostFolder) {
    BgmSettings s = current;
    s.kind = IniNumber(AsciiOf(kindText), s.kind);
    s.track = IniNumber(AsciiOf(trackText), s.track);
    s.file = fileText;
    if (!s.file.empty() && !fileExists(s.file)) s.file.clear();
    // A file kind without a usable file would play nothing; fall back to silence.
    if (s.file.empty() && s.kind == kBgmFile) s.kind = kBgmNone;
    s.folder = s.file.empty() ? hostFolder : FolderOf(s.file);
    return s;
}

} // namespace velumira
