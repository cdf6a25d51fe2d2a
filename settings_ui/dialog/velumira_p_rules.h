// Platform-free rules of the settings dialog Velumira_P: number formats,
// placement and the settings its apply button writes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velumira {

// The "##" number pattern of the track combo: digits without leading zeros,
// so 0 is the empty text.
std::string FormatTrack(int value);

// Top-left corner of the dialog on the screen: centred across, one third of
// the free space down. Each difference is divided with truncation toward zero,
// so a dialog larger than the screen moves up/left by the same rule.
struct Placement {
    int left;
    int top;
};
Placement PlaceDialog(int screenWidth, int screenHeight, int dialogWidth, int dialogHeight);

// The settings file writes of the apply button, in the order they happen:
// kind, track (from the combo's text), file. `track` receives the track
// number taken from the combo.
std::vector<std::pair<std::string, std::u16string>>
ApplyWrites(int16_t kind, const std::string& comboText, const std::u16string& file, int16_t& track);

} // namespace velumira
