// The settings file's value rules on any text a hand-edited file or the
// dialog's track box can hold: numbers, the track, and the path helpers in
// both single- and double-byte code pages. The input is three texts (kind,
// track, music file) split at line feeds; each is also fed to every rule.
#include "fuzz/fuzz_check.h"
#include "settings_core.h"

#include <cmath>
#include <string>

using namespace velumira;

namespace {

// True when `cut` bytes of `path` end on a character boundary.
bool OnCharacterBoundary(const std::string& path, size_t cut, LeadByteFn isLeadByte) {
    size_t i = 0;
    while (i < cut)
        i += isLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size() ? 2 : 1;
    return i == cut;
}

bool IsPrefix(const std::string& part, const std::string& whole) {
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

    for (LeadByteFn lead : {IsShiftJisLeadByte, IsNeverLeadByte}) {
        const std::string folder = FolderOf(text, lead);
        FUZZ_CHECK(IsPrefix(folder, text));
        FUZZ_CHECK(OnCharacterBoundary(text, folder.size(), lead));
        const std::string opened = WithoutTrailingBackslash(text, lead);
        FUZZ_CHECK(IsPrefix(opened, text) && text.size() - opened.size() <= 1);
        FUZZ_CHECK(OnCharacterBoundary(text, opened.size(), lead));
    }
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
    auto exists = [](const std::string& path) { return path.size() % 2 == 1; };
    auto folderOf = [](const std::string& path) { return FolderOf(path, IsShiftJisLeadByte); };
    BgmSettings current;
    current.kind = kBgmFile;
    const BgmSettings s =
        ResolveSettings(current, texts[0], texts[1], texts[2], exists, "C:\\host", folderOf);
    FUZZ_CHECK(s.file.empty() || exists(s.file));
    FUZZ_CHECK(s.kind != kBgmFile || !s.file.empty());
    FUZZ_CHECK(s.file.empty() ? s.folder == "C:\\host" : IsPrefix(s.folder, s.file));
    return 0;
}
