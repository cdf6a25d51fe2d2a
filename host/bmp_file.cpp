#include "bmp_file.h"

namespace velumira {

namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

} // namespace

uint32_t BmpRowStride24(int32_t width) {
    return width > 0 ? (uint32_t(width) * 3 + 3) & ~uint32_t(3) : 0;
}

std::array<uint8_t, kBmpHeadersSize> BmpHeaders24(int32_t width, int32_t height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    const uint32_t imageSize = BmpRowStride24(width) * uint32_t(height);
    std::array<uint8_t, kBmpHeadersSize> h{};
    h[0] = 'B';
    h[1] = 'M';
    Put32(&h[2], kBmpHeadersSize + imageSize);
    Put32(&h[10], kBmpHeadersSize); // pixel data offset
    uint8_t* info = &h[14];
    Put32(info + 0, 40);
    Put32(info + 4, uint32_t(width));
    Put32(info + 8, uint32_t(height)); // positive: rows bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 16, 0); // uncompressed
    Put32(info + 20, imageSize);
    Put32(info + 24, 3780); // 96 dpi
    Put32(info + 28, 3780);
    return h;
}

} // namespace velumira
