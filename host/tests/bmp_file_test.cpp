#include "bmp_file.h"

#include <gtest/gtest.h>

using namespace velumira;

namespace {

uint32_t Get32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

TEST(BmpFile, RowsArePaddedToFourBytes) {
    EXPECT_EQ(BmpRowStride24(1), 4u);
    EXPECT_EQ(BmpRowStride24(4), 12u);
    EXPECT_EQ(BmpRowStride24(5), 16u);
    EXPECT_EQ(BmpRowStride24(1366), 4100u);
    EXPECT_EQ(BmpRowStride24(0), 0u);
}

TEST(BmpFile, HeadersDescribeABottomUpUncompressed24BitPicture) {
    const auto h = BmpHeaders24(1366, 768);
    const uint32_t image = 4100u * 768u;
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(Get32(&h[2]), 54u + image);
    EXPECT_EQ(Get32(&h[6]), 0u);
    EXPECT_EQ(Get32(&h[10]), 54u);
    EXPECT_EQ(Get32(&h[14]), 40u);
    EXPECT_EQ(Get32(&h[18]), 1366u);
    EXPECT_EQ(int32_t(Get32(&h[22])), 768);
    EXPECT_EQ(Get16(&h[26]), 1);
    EXPECT_EQ(Get16(&h[28]), 24);
    EXPECT_EQ(Get32(&h[30]), 0u);
    EXPECT_EQ(Get32(&h[34]), image);
    EXPECT_EQ(Get32(&h[46]), 0u);
}

} // namespace
