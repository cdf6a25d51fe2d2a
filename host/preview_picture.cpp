#include "preview_picture.h"

#include "texture/dib_direct.h"
#include "texture/dib_layout.h"

namespace velumira {

bool DecodePreviewPicture(const unsigned char* dib, size_t size, RgbPicture& out) {
    DibLayout layout;
    if (checkDib(dib, size, layout) != DibCheck::Ok || !readsDirectly(layout)) return false;
    out.width = layout.info.width;
    out.height = layout.info.height;
    out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
    // A small picture: one thread reads it.
    readRowsDirectly(dib, layout, out.rgb.data(), 1);
    return true;
}

} // namespace velumira
