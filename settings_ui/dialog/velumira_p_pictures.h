// The dialog's built-in 12 x 12 pictures: the unselected and the selected
// option mark. Platform-free pixel data; the image control draws it.
#pragma once

#include "property_bag.h"

#include <string>
#include <vector>

namespace velumira {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels; // row by row from the top, 0x00BBGGRR
    std::vector<bool> opaque;   // false where the background shows through
};

// "OptionOff" or "OptionOn"; nullptr for any other name (no picture).
const Picture* BuiltInPicture(const std::string& name);

} // namespace velumira
