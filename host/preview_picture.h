// The desktop picture the moving preview hangs on its cloth: a 24-bit bitmap
// among the host's resources, decoded without GDI. Platform-free.
#pragma once

#include <cstddef>
#include <vector>

namespace velumira {

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // width * height * 3 bytes, bottom row first
};

// Decodes a bitmap (a DIB with or without its file header) whose rows can be
// read straight, uncompressed 24- or 32-bit, into packed red-green-blue rows.
// False for anything else: the bounds checks refuse it, or only GDI's
// conversion would read it.
bool DecodePreviewPicture(const unsigned char* dib, size_t size, RgbPicture& out);

} // namespace velumira
