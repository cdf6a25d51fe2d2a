// The dialog's built-in 12 x 12 pictures: the unselected and the selected
// option mark, and the same marks at other DPIs. Platform-free pixel data;
// the image control draws it.
#pragma once

#include "property_bag.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velumira {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;      // row by row from the top, 0x00BBGGRR
    std::vector<std::uint8_t> alpha; // 0 where the background shows through, 255 where not
};

// "OptionOff" or "OptionOn"; nullptr for any other name (no picture).
const Picture* BuiltInPicture(const std::string& name);

// `picture`, one of the built-in ones, as drawn at `dpi`: at 96 dpi the
// picture itself, elsewhere the mark drawn anew from its shape at its size
// there (18 x 18 at 144 dpi), with smooth edges. Any other picture unchanged.
Picture PictureAt(const Picture& picture, int dpi);

// A picture's pixel of that alpha laid over `background`.
Colour Over(Colour pixel, Colour background, std::uint8_t alpha);

} // namespace velumira
