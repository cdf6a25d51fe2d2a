// Bounds checks of bitmap files: every malformed file is refused before a
// single pixel is decoded, and accepted files are laid out where GDI reads.
#include "texture/dib_layout.h"
#include "texture/tests/bmp_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace bmptest;

namespace {

Bytes readFile(const std::string& path) {
    Bytes data;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            data.push_back(uint8_t(c));
        std::fclose(f);
    }
    return data;
}

DibCheck check(const Bytes& b, DibLayout& layout) {
    return checkDib(b.data(), b.size(), layout);
}

TEST(DibLayout, CorpusIsRefusedWithTheRightKind) {
    for (const CorpusEntry& e : corpus()) {
        SCOPED_TRACE(e.file);
        Bytes data = readFile(corpusPath(e.file));
        // A heap copy of exactly the file's length, so the sanitizers see any
        // read past its end.
        auto* copy = new unsigned char[data.size() + 1];
        std::copy(data.begin(), data.end(), copy);
        DibLayout layout;
        DibCheck got = checkDib(copy, data.size(), layout);
        delete[] copy;
        DibCheck want =
            e.refusal == Refusal::ConversionError ? DibCheck::Unsupported : DibCheck::UnknownFormat;
        EXPECT_EQ(got, want);
    }
}

TEST(DibLayout, WithAndWithoutFileHeaderPixelsFollowTheColourTable) {
    BmpSpec s;
    s.width = 5;
    s.height = 3;
    s.bitCount = 8;
    s.palette.assign(256, Rgb{1, 2, 3});
    s.pixels.assign(8 * 3, 0);
    DibLayout layout;
    ASSERT_EQ(check(buildBmp(s), layout), DibCheck::Ok);
    EXPECT_EQ(layout.colourCount, 256u);
    EXPECT_EQ(layout.colourTableOffset, 14u + 40);
    EXPECT_EQ(layout.pixelOffset, 14u + 40 + 1024);
    EXPECT_EQ(layout.pixelBytes, 8u * 3);
    // Unset header fields are completed the way GDI expects them.
    EXPECT_EQ(layout.info.sizeImage, 5u * 3);
    EXPECT_EQ(layout.info.clrUsed, 256u);

    s.fileHeader = false;
    ASSERT_EQ(check(buildBmp(s), layout), DibCheck::Ok);
    EXPECT_EQ(layout.colourTableOffset, 40u);
    EXPECT_EQ(layout.pixelOffset, 40u + 1024);

    s.headerSize = 12;
    ASSERT_EQ(check(buildBmp(s), layout), DibCheck::Ok);
    EXPECT_EQ(layout.colourEntrySize, 3u);
    EXPECT_EQ(layout.pixelOffset, 12u + 768);
    EXPECT_EQ(layout.info.clrUsed, 256u);
    EXPECT_EQ(layout.info.clrImportant, 256u);
}

TEST(DibLayout, ColourCountFollowsUsedFieldThenBitCount) {
    BmpSpec s;
    s.bitCount = 8;
    s.clrUsed = 3;
    s.palette.assign(3, Rgb{});
    s.pixels.assign(4, 0);
    DibLayout layout;
    ASSERT_EQ(check(buildBmp(s), layout), DibCheck::Ok);
    EXPECT_EQ(layout.colourCount, 3u);
    for (auto [bits, count] : {std::pair<int, uint32_t>{1, 2}, {4, 16}, {16, 0}, {24, 0}}) {
        s.bitCount = uint16_t(bits);
        s.clrUsed = 0;
        s.palette.assign(count, Rgb{});
        ASSERT_EQ(check(buildBmp(s), layout), DibCheck::Ok) << bits;
        EXPECT_EQ(layout.colourCount, count) << bits;
    }
}

TEST(DibLayout, SizeBoundsAreInclusive) {
    BmpSpec s;
    s.bitCount = 1;
    s.palette.assign(2, Rgb{});
    s.width = kDibMaxSide;
    s.height = 1;
    s.pixels.assign(kDibMaxSide / 8, 0);
    DibLayout layout;
    EXPECT_EQ(check(buildBmp(s), layout), DibCheck::Ok);
    s.width = kDibMaxSide + 1;
    s.pixels.assign(kDibMaxSide / 8 + 4, 0);
    EXPECT_EQ(check(buildBmp(s), layout), DibCheck::Unsupported);
    // Within each side's bound but too many pixels in all.
    s.width = kDibMaxSide;
    s.height = int32_t(kDibMaxPixels / kDibMaxSide) + 1;
    s.pixels.assign(size_t(kDibMaxSide) / 8 * s.height, 0);
    EXPECT_EQ(check(buildBmp(s), layout), DibCheck::Unsupported);
}

TEST(DibLayout, RunLengthDataMustLieInsideTheFile) {
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.bitCount = 8;
    s.compression = kBiRle8;
    s.palette.assign(256, Rgb{});
    s.pixels = {4, 1, 0, 0, 4, 2, 0, 1};
    s.sizeImage = uint32_t(s.pixels.size());
    DibLayout layout;
    ASSERT_EQ(check(buildBmp(s), layout), DibCheck::Ok);
    EXPECT_EQ(layout.pixelBytes, s.pixels.size());
    s.sizeImage += 1;
    EXPECT_EQ(check(buildBmp(s), layout), DibCheck::Unsupported);
}

// Every prefix of valid files, and every single-byte change in their headers,
// is either refused or laid out wholly inside the file.
TEST(DibLayout, DamagedFilesNeverPointOutsideThemselves) {
    BmpSpec paletted;
    paletted.width = 6;
    paletted.height = 4;
    paletted.bitCount = 4;
    paletted.palette.assign(16, Rgb{9, 9, 9});
    paletted.pixels.assign(4 * 4, 0x12);
    BmpSpec core = paletted;
    core.headerSize = 12;
    BmpSpec bare = paletted;
    bare.fileHeader = false;
    BmpSpec rle = paletted;
    rle.compression = kBiRle4;
    rle.pixels = {6, 0x12, 0, 0, 6, 0x34, 0, 0, 6, 0x56, 0, 0, 6, 0x78, 0, 1};
    rle.sizeImage = uint32_t(rle.pixels.size());
    for (const BmpSpec& s : {paletted, core, bare, rle}) {
        const Bytes good = buildBmp(s);
        auto inside = [](const Bytes& b, const DibLayout& l) {
            return l.pixelOffset + l.pixelBytes <= b.size() &&
                   l.colourTableOffset + size_t(l.colourCount) * l.colourEntrySize <= b.size();
        };
        for (size_t n = 0; n <= good.size(); ++n) {
            Bytes cut(good.begin(), good.begin() + n);
            DibLayout layout;
            if (check(cut, layout) == DibCheck::Ok) {
                EXPECT_EQ(n, good.size());
                EXPECT_TRUE(inside(cut, layout));
            }
        }
        const size_t headerEnd = (s.fileHeader ? 14 : 0) + s.headerSize;
        for (size_t i = 0; i < headerEnd; ++i) {
            for (int v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                Bytes bad = good;
                bad[i] = uint8_t(v);
                DibLayout layout;
                if (check(bad, layout) == DibCheck::Ok) {
                    EXPECT_TRUE(inside(bad, layout)) << i << " " << v;
                }
            }
        }
    }
}

} // namespace
