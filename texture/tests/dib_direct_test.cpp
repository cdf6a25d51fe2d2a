// Uncompressed 24- and 32-bit files read without GDI, written byte by byte:
// every width's padding, with and without the file header, split or not.
// Under Wine, loader_test_win.cpp holds the result against GDI's conversion.
#include "texture/dib_direct.h"
#include "texture/tests/bmp_bytes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace bmptest;

namespace {

Bytes rows32(const std::vector<Rgb>& rgb) {
    Bytes out;
    for (const Rgb& c : rgb)
        out.insert(out.end(), {c.b, c.g, c.r, uint8_t(c.r ^ 0x5A)});
    return out;
}

TEST(DirectRows, ComeOutAsPackedRgbBottomRowFirst) {
    const int sizes[][2] = {{1, 1}, {1, 5}, {3, 5}, {4, 4}, {5, 2}, {1366, 3}};
    for (const auto& size : sizes)
        for (uint16_t bits : {24, 32})
            for (bool fileHeader : {true, false})
                for (int parts : {1, 2}) {
                    const int w = size[0], h = size[1];
                    SCOPED_TRACE(testing::Message() << w << "x" << h << ", " << bits << " bits, "
                                                    << fileHeader << ", " << parts);
                    const std::vector<Rgb> picture = pattern(w, h);
                    BmpSpec s;
                    s.width = w;
                    s.height = h;
                    s.bitCount = bits;
                    s.fileHeader = fileHeader;
                    s.pixels = bits == 24 ? rows24(picture, w, h) : rows32(picture);
                    const Bytes file = buildBmp(s);
                    DibLayout layout;
                    ASSERT_EQ(checkDib(file.data(), file.size(), layout), DibCheck::Ok);
                    ASSERT_TRUE(readsDirectly(layout));
                    // A byte past the end shows any write beyond the rows.
                    Bytes rgb(size_t(w) * h * 3 + 1, 0xEE);
                    readRowsDirectly(file.data(), layout, rgb.data(), parts);
                    EXPECT_EQ(rgb.back(), 0xEE);
                    for (size_t i = 0; i < picture.size(); ++i)
                        ASSERT_TRUE((Rgb{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}) == picture[i])
                            << "pixel " << i;
                }
}

} // namespace
