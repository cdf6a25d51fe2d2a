#include "velumira_p_rules.h"

#include "settings_core.h"

namespace velumira {

std::string FormatTrack(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

Placement PlaceDialog(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight) {
    return {(screenWidth - dialogWidth) / 2, (screenHeight - dialogHeight) / 3};
}

std::vector<std::pair<std::string, std::u16string>> ApplyWrites(int16_t kind,
                                                                const std::string& comboText,
                                                                const std::u16string& file,
                                                                int16_t& track) {
    track = TrackFromText(comboText);
    return {{kKeyBgmKind, Utf16OfAscii(FormatIniNumber(kind))},
            {kKeyBgmTrack, Utf16OfAscii(FormatIniNumber(track))},
            {kKeyBgmFile, file}};
}

} // namespace velumira
