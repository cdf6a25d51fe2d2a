#include "velumira_p_pictures.h"

namespace velumira {
namespace {

// A round mark in the colours of the buttons: dark blue rim, white face
// shading to grey at the bottom, green dot when selected.
const char* const kOptionOff[12] = {
    "    +##+    ", //
    "  +#wwww#+  ", //
    " +wwwwwwww+ ", //
    " #wwwwwwww# ", //
    "+wwwwwwwwww+", //
    "#wwwwwwwwww#", //
    "#vvvvvvvvvv#", //
    "+vvvvvvvvvv+", //
    " #vvvvvvvv# ", //
    " +ssssssss+ ", //
    "  +#ssss#+  ", //
    "    +##+    ", //
};
const char* const kOptionOn[12] = {
    "    +##+    ", //
    "  +#wwww#+  ", //
    " +wwwwwwww+ ", //
    " #wwwwwwww# ", //
    "+wwwg@@gwww+", //
    "#www@@@@www#", //
    "#vvv@@@@vvv#", //
    "+vvvg@@gvvv+", //
    " #vvvvvvvv# ", //
    " +ssssssss+ ", //
    "  +#ssss#+  ", //
    "    +##+    ", //
};

Colour PaletteColour(char c) {
    switch (c) {
    case '#':
        return 0x80511C; // RGB(28,81,128)
    case '+':
        return 0xB89C82; // rim blended into the background
    case 'w':
        return 0xFFFFFF;
    case 'v':
        return 0xEEF0F2; // RGB(242,240,238)
    case 's':
        return 0xDADDE2; // RGB(226,221,218)
    case '@':
        return 0x21A121; // RGB(33,161,33)
    case 'g':
        return 0x8CCF8C; // RGB(140,207,140)
    default:
        return 0;
    }
}

Picture FromPattern(const char* const (&rows)[12]) {
    Picture p;
    p.width = 12;
    p.height = 12;
    for (const char* row : rows)
        for (int x = 0; x < 12; ++x) {
            p.pixels.push_back(PaletteColour(row[x]));
            p.opaque.push_back(row[x] != ' ');
        }
    return p;
}

} // namespace

const Picture* BuiltInPicture(const std::string& name) {
    static const Picture off = FromPattern(kOptionOff);
    static const Picture on = FromPattern(kOptionOn);
    if (name == "OptionOff") return &off;
    if (name == "OptionOn") return &on;
    return nullptr;
}

} // namespace velumira
