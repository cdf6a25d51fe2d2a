// Where the parts of a Windows bitmap lie inside a file, checked against the
// file's size before anything is decoded, and the steps of decoding around
// GDI's own conversion. Platform-free so it can be tested natively and under
// the sanitizers with malformed input.
#pragma once

#include <cstddef>
#include <cstdint>

enum class DibCheck {
    Ok,
    // Header missing, cut short or of a size other than 12 or 40 bytes.
    UnknownFormat,
    // A header we understand, but describing pixels we cannot or will not
    // decode safely (sizes, compression, data outside the file).
    Unsupported,
};

// Largest picture the loader takes: each side at most 16384 pixels and at most
// 2^25 pixels in all (96 MiB at 24 bits), so every size computed from them
// fits in 32 bits and the three copies a load makes stay affordable in a
// 32-bit process. A 1920 x 1080 desktop is 2^21.
constexpr int32_t kDibMaxSide = 16384;
constexpr int64_t kDibMaxPixels = int64_t(1) << 25;

// The DIB header fields in the 40-byte layout, whichever layout the file used.
struct DibInfo {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

struct DibLayout {
    uint32_t headerSize = 0;      // 12 (OS/2 core) or 40
    DibInfo info;                 // header as 40-byte fields, size fields completed
    uint32_t colourCount = 0;     // entries in the colour table
    size_t colourTableOffset = 0; // from the start of the file
    uint32_t colourEntrySize = 0; // 3 for core headers, 4 otherwise
    size_t pixelOffset = 0;       // from the start of the file
    size_t pixelBytes = 0;        // bytes decoding may read from pixelOffset
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;

// Entries in the colour table a header of this size declares; `header` must
// hold `headerSize` bytes.
uint32_t countDibColours(const unsigned char* header, uint32_t headerSize);

// Reads the layout of a bitmap file (with or without the 14-byte "BM" file
// header) of `size` bytes. Only Ok fills `out` completely.
DibCheck checkDib(const unsigned char* file, size_t size, DibLayout& out);

// The colour table as GDI takes it: 4-byte entries blue, green, red, 0-or-kept
// (core headers' 3-byte entries gain a zero fourth byte). `file` is the file
// checkDib accepted with `layout`; `out` holds 4 * layout.colourCount bytes.
void readDibColours(const unsigned char* file, const DibLayout& layout, unsigned char* out);

// Bytes per row of the 24-bit blue-green-red rows GDI converts to: 3 * width
// rounded up to four.
size_t bgrRowStride(int32_t width);

// Those rows (height of them, bgrRowStride apart) as packed red-green-blue
// rows of 3 * width bytes, in the same order.
void packBgrRows(const unsigned char* rows, int32_t width, int32_t height, unsigned char* out);
