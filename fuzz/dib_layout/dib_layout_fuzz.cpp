// Bitmap files as the renderer's loader meets them: the layout check, then the
// platform-free steps of the decode around GDI's conversion. libFuzzer hands
// over a heap copy of exactly the input's length, so AddressSanitizer catches
// any read the accepted layout would let past the file's end.
#include "fuzz/fuzz_check.h"
#include "texture/dib_layout.h"

#include <cstdint>
#include <vector>

namespace {

// The section GDI would fill is simulated only for small pictures; the
// largest accepted ones would make every run allocate a hundred megabytes.
constexpr int64_t kSimulatedPixels = int64_t(1) << 16;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DibLayout layout;
    if (checkDib(data, size, layout) != DibCheck::Ok) return 0;

    const DibInfo& info = layout.info;
    FUZZ_CHECK(info.width > 0 && info.width <= kDibMaxSide);
    FUZZ_CHECK(info.height > 0 && info.height <= kDibMaxSide);
    FUZZ_CHECK(int64_t(info.width) * info.height <= kDibMaxPixels);
    FUZZ_CHECK(layout.colourCount <= 256);
    FUZZ_CHECK(layout.colourTableOffset + size_t(layout.colourCount) * layout.colourEntrySize <=
               size);
    FUZZ_CHECK(layout.pixelOffset <= size && layout.pixelBytes <= size - layout.pixelOffset);
    FUZZ_CHECK(info.sizeImage != 0);

    std::vector<unsigned char> colours(size_t(layout.colourCount) * 4);
    readDibColours(data, layout, colours.data());

    // Every byte GDI may read: the sanitizer sees each of them.
    unsigned sum = 0;
    for (size_t i = 0; i < layout.pixelBytes; ++i)
        sum += data[layout.pixelOffset + i];

    if (int64_t(info.width) * info.height > kSimulatedPixels) return 0;
    const size_t stride = bgrRowStride(info.width);
    std::vector<unsigned char> section(stride * size_t(info.height), uint8_t(sum));
    // Uncompressed 24-bit rows are stored exactly as the section holds them.
    const bool sameRows = info.compression == kBiRgb && info.bitCount == 24;
    if (sameRows)
        section.assign(data + layout.pixelOffset, data + layout.pixelOffset + section.size());
    std::vector<unsigned char> rgb(size_t(info.width) * size_t(info.height) * 3);
    packBgrRows(section.data(), info.width, info.height, rgb.data());
    if (sameRows) {
        const size_t last = size_t(info.height - 1) * stride + size_t(info.width - 1) * 3;
        FUZZ_CHECK(rgb[rgb.size() - 3] == section[last + 2]);
        FUZZ_CHECK(rgb[rgb.size() - 1] == section[last]);
    }
    return 0;
}
