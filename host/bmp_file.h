#pragma once

#include <array>
#include <cstdint>

namespace velumira {

constexpr uint32_t kBmpHeadersSize = 14 + 40;

// Bytes in one 24-bit pixel row of a Windows bitmap, padded to 4 bytes.
uint32_t BmpRowStride24(int32_t width);

// File header and info header of an uncompressed, bottom-up 24-bit Windows
// bitmap whose pixel rows follow directly.
std::array<uint8_t, kBmpHeadersSize> BmpHeaders24(int32_t width, int32_t height);

} // namespace velumira
