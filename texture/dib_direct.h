// Uncompressed 24- and 32-bit bitmaps (what the host writes, and most other
// programs) need no conversion by GDI: their rows are read straight from the
// file into packed RGB rows. Platform-free; the file must have passed
// checkDib, which keeps every row inside it.
#pragma once

#include "texture/dib_layout.h"

#include <functional>

// Whether the file's rows can be read directly.
bool readsDirectly(const DibLayout& layout);

// Writes width * height * 3 bytes of red, green, blue, bottom row first, as
// GDI's conversion would; `parts` threads share the rows, the calling thread
// after running `meanwhile` (see row_split.h).
void readRowsDirectly(const unsigned char* file, const DibLayout& layout, unsigned char* rgb,
                      int parts, const std::function<void()>& meanwhile = {});
