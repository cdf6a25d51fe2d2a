#include "velumira_p_pictures.h"

#include "canvas.h"
#include "dpi_scale.h"

#include <cmath>

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
            p.alpha.push_back(row[x] == ' ' ? 0 : 255);
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

namespace {

// The option mark's shape on the 12-pixel grid of its 96 dpi picture: a disc
// of radius 6 with a rim one pixel wide, its face white above the middle,
// then light and darker grey, and the selected mark's dot of radius 2.
Colour MarkColourAt(double x, double y, bool selected) {
    const double r = std::hypot(x - 6.0, y - 6.0);
    if (r > 5.0) return PaletteColour('#');
    if (selected && r <= 2.0) return PaletteColour('@');
    return PaletteColour(y < 6.0 ? 'w' : y < 9.0 ? 'v' : 's');
}

Picture DrawMark(bool selected, int size) {
    constexpr int kSamples = 4; // per pixel and direction
    Picture p;
    p.width = p.height = size;
    const double unit = 12.0 / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int covered = 0, red = 0, green = 0, blue = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double gx = (x + (sx + 0.5) / kSamples) * unit;
                    const double gy = (y + (sy + 0.5) / kSamples) * unit;
                    if (std::hypot(gx - 6.0, gy - 6.0) > 6.0) continue;
                    const Colour c = MarkColourAt(gx, gy, selected);
                    ++covered;
                    red += Red(c);
                    green += Green(c);
                    blue += Blue(c);
                }
            const int n = covered ? covered : 1;
            p.pixels.push_back(Rgb((red + n / 2) / n, (green + n / 2) / n, (blue + n / 2) / n));
            p.alpha.push_back(static_cast<std::uint8_t>((covered * 255 + kSamples * kSamples / 2) /
                                                        (kSamples * kSamples)));
        }
    return p;
}

} // namespace

Colour Over(Colour pixel, Colour background, std::uint8_t alpha) {
    auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha) + 127) / 255; };
    return Rgb(mix(Red(pixel), Red(background)), mix(Green(pixel), Green(background)),
               mix(Blue(pixel), Blue(background)));
}

Picture PictureAt(const Picture& picture, int dpi) {
    const Picture* off = BuiltInPicture("OptionOff");
    const Picture* on = BuiltInPicture("OptionOn");
    if (dpi == kBaseDpi || (&picture != off && &picture != on)) return picture;
    return DrawMark(&picture == on, ScalePixels(picture.width, dpi));
}

} // namespace velumira
