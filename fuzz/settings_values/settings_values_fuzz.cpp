// The settings file's value rules on any text a hand-edited file or the
// dialog's track box can hold: numbers, the track, and the path helpers. The
// input is three texts (kind, track, music file) split at line feeds; each is
// also fed to every rule, as bytes and as UTF-16 (pairs of bytes).
#include "fuzz/fuzz_check.h"
#include "settings_core.h"

#include <cmath>
#include <string>

using namespace velumira;

namespace {

std::u16string Utf16Of(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += char16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    return text;
}

template <typename Text> bool IsPrefix(const Text& part, const Text& whole) {
    return part.size() <= whole.size() && whole.compare(0, part.size(), part) == 0;
}

void CheckText(const std::string& text) {
    double v = 0;
    if (ParseNumber(text, v)) FUZZ_CHECK(std::isfinite(v));

    // Whatever a stored number reads as, writing it back reads the same.
    const int16_t n = IniNumber(text, 7);
    FUZZ_CHECK(IniNumber(FormatIniNumber(n), 7) == n);
    const int16_t track = TrackFromText(text);
    FUZZ_CHECK(TrackFromText(FormatIniNumber(track)) == track);

    const std::u16string path = Utf16Of(text);
    const std::u16string folder = FolderOf(path);
    FUZZ_CHECK(IsPrefix(folder, path));
    const std::u16string opened = WithoutTrailingBackslash(path);
    FUZZ_CHECK(IsPrefix(opened, path) && path.size() - opened.size() <= 1);
    FUZZ_CHECK(AsciiOf(Utf16OfAscii(text)).size() == text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string texts[3];
    size_t start = 0;
    for (int i = 0; i < 3 && start <= input.size(); ++i) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos || i == 2) end = input.size();
        texts[i] = input.substr(start, end - start);
        start = end + 1;
    }
    for (const std::string& text : texts)
        CheckText(text);

    // Files "exist" when their length is odd, so both branches are reached.
    auto exists = [](const std::u16string& path) { return path.size() % 2 == 1; };
    BgmSettings current;
    current.kind = kBgmFile;
    const BgmSettings s = ResolveSettings(current, Utf16OfAscii(texts[0]), Utf16OfAscii(texts[1]),
                                          Utf16Of(texts[2]), exists, u"C:\\host");
    FUZZ_CHECK(s.file.empty() || exists(s.file));
    FUZZ_CHECK(s.kind != kBgmFile || !s.file.empty());
    FUZZ_CHECK(s.file.empty() ? s.folder == u"C:\\host" : IsPrefix(s.folder, s.file));
    return 0;
}
