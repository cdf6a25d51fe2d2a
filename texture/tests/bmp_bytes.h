// Bitmap files written byte by byte for the loader's tests, independent of the
// loader's own code: the tests say exactly what lies where in the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bmptest {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct BmpSpec {
    uint32_t headerSize = 40; // 12: OS/2 core header
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
    std::vector<Rgb> palette; // written in the header's entry size
    Bytes pixels;             // exactly as stored: padded rows or RLE codes
    bool fileHeader = true;
};

inline Bytes buildBmp(const BmpSpec& s) {
    Bytes dib;
    put32(dib, s.headerSize);
    if (s.headerSize == 12) {
        put16(dib, uint32_t(s.width));
        put16(dib, uint32_t(s.height));
        put16(dib, 1);
        put16(dib, s.bitCount);
    } else {
        put32(dib, uint32_t(s.width));
        put32(dib, uint32_t(s.height));
        put16(dib, 1);
        put16(dib, s.bitCount);
        put32(dib, s.compression);
        put32(dib, s.sizeImage);
        put32(dib, 2835);
        put32(dib, 2835);
        put32(dib, s.clrUsed);
        put32(dib, 0);
    }
    for (const Rgb& c : s.palette) {
        dib.push_back(c.b);
        dib.push_back(c.g);
        dib.push_back(c.r);
        if (s.headerSize != 12) dib.push_back(0);
    }
    const uint32_t pixelOffset = uint32_t(dib.size()) + (s.fileHeader ? 14 : 0);
    dib.insert(dib.end(), s.pixels.begin(), s.pixels.end());
    if (!s.fileHeader) return dib;
    Bytes file = {'B', 'M'};
    put32(file, uint32_t(14 + dib.size()));
    put32(file, 0);
    put32(file, pixelOffset);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

// Stored 24-bit rows (BGR, padded to 4 bytes) for pixels given bottom row first.
inline Bytes rows24(const std::vector<Rgb>& rgb, int width, int height) {
    Bytes out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& c = rgb[size_t(y) * width + x];
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        while (out.size() % 4)
            out.push_back(0);
    }
    return out;
}

// A test picture with distinct neighbours, bottom row first.
inline std::vector<Rgb> pattern(int width, int height) {
    std::vector<Rgb> p;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.push_back({uint8_t(x * 3 + y), uint8_t(x ^ (y * 5)), uint8_t(200 - x - y * 7)});
    return p;
}

// The files of the malformed corpus and how each is refused.
enum class Refusal { OpenFailed, UnknownFormat, ConversionError };
struct CorpusEntry {
    const char* file;
    Refusal refusal;
};
inline const std::vector<CorpusEntry>& corpus() {
    static const std::vector<CorpusEntry> entries = {
        {"truncated_header.bmp", Refusal::UnknownFormat},
        {"only_magic.bmp", Refusal::UnknownFormat},
        {"header_64.bmp", Refusal::UnknownFormat},
        {"header_108.bmp", Refusal::UnknownFormat},
        {"header_124.bmp", Refusal::UnknownFormat},
        {"empty.bmp", Refusal::OpenFailed},
        {"truncated_pixels.bmp", Refusal::ConversionError},
        {"bare_truncated.dib", Refusal::ConversionError},
        {"huge_100000.bmp", Refusal::ConversionError},
        {"zero_width.bmp", Refusal::ConversionError},
        {"zero_height.bmp", Refusal::ConversionError},
        {"top_down.bmp", Refusal::ConversionError},
        {"bitfields.bmp", Refusal::ConversionError},
        {"jpeg_compression.bmp", Refusal::ConversionError},
        {"bits_per_pixel_7.bmp", Refusal::ConversionError},
        {"rle8_no_size.bmp", Refusal::ConversionError},
        {"rle8_size_past_end.bmp", Refusal::ConversionError},
        {"rle4_with_8_bits.bmp", Refusal::ConversionError},
        {"palette_past_end.bmp", Refusal::ConversionError},
        {"core_palette_past_end.bmp", Refusal::ConversionError},
        {"colours_used_70000.bmp", Refusal::ConversionError},
        {"pixel_offset_past_end.bmp", Refusal::ConversionError},
    };
    return entries;
}

#ifdef VELUMIRA_CORPUS_DIR
inline std::string corpusPath(const char* file) {
    std::string path = std::string(VELUMIRA_CORPUS_DIR) + "/" + file;
#ifdef _WIN32
    // The corpus lives on the Unix side, which Wine shows as drive Z:.
    for (char& c : path)
        if (c == '/') c = '\\';
    path = "Z:" + path;
#endif
    return path;
}
#endif

} // namespace bmptest
