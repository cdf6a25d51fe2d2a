#include "texture/dib_direct.h"
#include "texture/row_split.h"

bool readsDirectly(const DibLayout& layout) {
    return layout.info.compression == kBiRgb &&
           (layout.info.bitCount == 24 || layout.info.bitCount == 32);
}

void readRowsDirectly(const unsigned char* file, const DibLayout& layout, unsigned char* rgb,
                      int parts, const std::function<void()>& meanwhile) {
    const int32_t width = layout.info.width;
    const unsigned char* rows = file + layout.pixelOffset;
    const size_t rowBytes = size_t(width) * 3;
    splitRows(
        layout.info.height, parts,
        [&](int first, int end) {
            if (layout.info.bitCount == 24) {
                // Stored exactly as the rows GDI converts to.
                packBgrRows(rows + size_t(first) * bgrRowStride(width), width, end - first,
                            rgb + size_t(first) * rowBytes);
                return;
            }
            // Blue, green, red and an unused byte; 32-bit rows need no padding.
            for (int y = first; y < end; ++y) {
                const unsigned char* in = rows + size_t(y) * size_t(width) * 4;
                unsigned char* out = rgb + size_t(y) * rowBytes;
                for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
                    out[0] = in[2];
                    out[1] = in[1];
                    out[2] = in[0];
                }
            }
        },
        meanwhile);
}
