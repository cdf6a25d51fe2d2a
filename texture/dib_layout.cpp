#include "texture/dib_layout.h"

#include <emmintrin.h>

namespace {

uint16_t u16(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t u32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int32_t s32(const unsigned char* p) {
    return int32_t(u32(p));
}

// GDI reads uncompressed rows padded to four bytes.
uint64_t paddedRowBytes(int32_t width, uint16_t bitCount) {
    return (uint64_t(width) * bitCount + 31) / 32 * 4;
}

bool bitCountFits(uint16_t bitCount, uint32_t compression) {
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
               bitCount == 24 || bitCount == 32;
    case kBiRle8:
        return bitCount == 8;
    case kBiRle4:
        return bitCount == 4;
    default: // bit fields, JPEG, PNG: nothing this loader hands to GDI
        return false;
    }
}

} // namespace

uint32_t countDibColours(const unsigned char* header, uint32_t headerSize) {
    uint16_t bitCount;
    if (headerSize == 12) {
        bitCount = u16(header + 10);
    } else {
        uint32_t used = u32(header + 32);
        if (used != 0) return used & 0xFFFF;
        bitCount = u16(header + 14);
    }
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

DibCheck checkDib(const unsigned char* file, size_t size, DibLayout& out) {
    out = DibLayout();
    const bool fileHeader = size >= 2 && file[0] == 'B' && file[1] == 'M';
    const size_t headerOffset = fileHeader ? 14 : 0;
    if (size < headerOffset + 4) return DibCheck::UnknownFormat;
    const unsigned char* h = file + headerOffset;
    const uint32_t headerSize = u32(h);
    if (headerSize != 12 && headerSize != 40) return DibCheck::UnknownFormat;
    if (size - headerOffset < headerSize) return DibCheck::UnknownFormat;

    DibInfo& info = out.info;
    if (headerSize == 12) {
        info.width = u16(h + 4);
        info.height = u16(h + 6);
        info.planes = u16(h + 8);
        info.bitCount = u16(h + 10);
    } else {
        info.width = s32(h + 4);
        info.height = s32(h + 8);
        info.planes = u16(h + 12);
        info.bitCount = u16(h + 14);
        info.compression = u32(h + 16);
        info.sizeImage = u32(h + 20);
        info.xPelsPerMeter = s32(h + 24);
        info.yPelsPerMeter = s32(h + 28);
        info.clrUsed = u32(h + 32);
        info.clrImportant = u32(h + 36);
    }
    // Top-down pictures (negative height) are refused along with empty ones.
    if (info.width <= 0 || info.height <= 0 || info.width > kDibMaxSide ||
        info.height > kDibMaxSide || int64_t(info.width) * info.height > kDibMaxPixels)
        return DibCheck::Unsupported;
    if (!bitCountFits(info.bitCount, info.compression)) return DibCheck::Unsupported;
    // The count below truncates to 16 bits while GDI would trust the header's
    // full value; a table longer than a byte can index has no use anyway.
    if (info.clrUsed > 256) return DibCheck::Unsupported;

    const uint32_t count = countDibColours(h, headerSize);
    const uint32_t entrySize = headerSize == 12 ? 3 : 4;
    const size_t tableOffset = headerOffset + headerSize;
    const uint64_t tableEnd = uint64_t(tableOffset) + uint64_t(count) * entrySize;
    if (tableEnd > size) return DibCheck::Unsupported;
    if (headerSize == 12) info.clrUsed = info.clrImportant = count;

    uint64_t pixelOffset = tableEnd;
    if (fileHeader) pixelOffset = u32(file + 10);

    uint64_t pixelBytes;
    if (info.compression == kBiRgb) {
        pixelBytes = paddedRowBytes(info.width, info.bitCount) * uint64_t(info.height);
    } else {
        // Run-length data carries no size of its own; the header must state it.
        if (info.sizeImage == 0) return DibCheck::Unsupported;
        pixelBytes = info.sizeImage;
    }
    if (pixelOffset > size || pixelBytes > size - pixelOffset) return DibCheck::Unsupported;

    if (info.sizeImage == 0)
        info.sizeImage = uint32_t((uint64_t(info.bitCount) * uint64_t(info.width) + 7) / 8 *
                                  uint64_t(info.height));
    if (info.clrUsed == 0) info.clrUsed = count;

    out.headerSize = headerSize;
    out.colourCount = count;
    out.colourTableOffset = tableOffset;
    out.colourEntrySize = entrySize;
    out.pixelOffset = size_t(pixelOffset);
    out.pixelBytes = size_t(pixelBytes);
    return DibCheck::Ok;
}

void readDibColours(const unsigned char* file, const DibLayout& layout, unsigned char* out) {
    const unsigned char* table = file + layout.colourTableOffset;
    for (uint32_t i = 0; i < layout.colourCount; ++i) {
        const unsigned char* e = table + size_t(i) * layout.colourEntrySize;
        unsigned char* o = out + size_t(i) * 4;
        o[0] = e[0];
        o[1] = e[1];
        o[2] = e[2];
        o[3] = layout.colourEntrySize == 4 ? e[3] : 0;
    }
}

size_t bgrRowStride(int32_t width) {
    return (size_t(width) * 3 + 3) & ~size_t(3);
}

namespace {

// Red and blue trade places in every 3-byte pixel; green stays. Sixteen
// pixels at a time are three SSE2 registers, in which byte k takes byte k + 2
// (k a multiple of 3 in the block), byte k - 2 (k one less than a multiple)
// or keeps its own, across register edges too.
void bgrToRgb(const unsigned char* __restrict source, unsigned char* __restrict target,
              int32_t pixels) {
    int32_t x = 0;
    if (pixels >= 16) {
        // For each register, which bytes take which: +2, own, -2.
        alignas(16) static const unsigned char kTakes[3][3][16] = {
            {{0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF},
             {0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
             {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0}},
            {{0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0},
             {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF},
             {0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}},
            {{0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0},
             {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0},
             {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF}}};
        auto mask = [](int r, int which) {
            return _mm_load_si128(reinterpret_cast<const __m128i*>(kTakes[r][which]));
        };
        for (; x + 16 <= pixels; x += 16) {
            const __m128i* in = reinterpret_cast<const __m128i*>(source + 3 * size_t(x));
            __m128i* out = reinterpret_cast<__m128i*>(target + 3 * size_t(x));
            const __m128i v[3] = {_mm_loadu_si128(in), _mm_loadu_si128(in + 1),
                                  _mm_loadu_si128(in + 2)};
            for (int r = 0; r < 3; ++r) {
                __m128i ahead = _mm_srli_si128(v[r], 2), behind = _mm_slli_si128(v[r], 2);
                if (r < 2) ahead = _mm_or_si128(ahead, _mm_slli_si128(v[r + 1], 14));
                if (r > 0) behind = _mm_or_si128(behind, _mm_srli_si128(v[r - 1], 14));
                const __m128i swapped = _mm_or_si128(
                    _mm_or_si128(_mm_and_si128(ahead, mask(r, 0)), _mm_and_si128(v[r], mask(r, 1))),
                    _mm_and_si128(behind, mask(r, 2)));
                _mm_storeu_si128(out + r, swapped);
            }
        }
    }
    for (; x < pixels; ++x) {
        target[3 * x] = source[3 * x + 2];
        target[3 * x + 1] = source[3 * x + 1];
        target[3 * x + 2] = source[3 * x];
    }
}

} // namespace

void packBgrRows(const unsigned char* rows, int32_t width, int32_t height, unsigned char* out) {
    const size_t stride = bgrRowStride(width);
    const size_t rowBytes = size_t(width) * 3;
    for (int32_t y = 0; y < height; ++y)
        bgrToRgb(rows + size_t(y) * stride, out + size_t(y) * rowBytes, width);
}
