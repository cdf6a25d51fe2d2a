// The bitmap file loader: any Windows DIB the loader accepts becomes packed
// 24-bit RGB rows, bottom row first.
#pragma once

#include <cstdint>
#include <functional>

struct RgbImage {
    int32_t width;
    int32_t height;
    unsigned char* data; // width * height * 3 bytes, R G B, no row padding
};

// Returns a new image (free data, then the record, with std::free), or null
// after telling the user why through reportError. Uncompressed 24- and 32-bit
// files are read directly, every other kind is converted by GDI. A file whose
// owner is not the renderer's user is refused as if it were missing: anyone
// else's picture could show anything, a fake logon screen included.
// `whileReading`, when given, runs on the calling thread with the picture's
// size while the rows of a file read directly are read (by the other cores,
// where there are any); not at all for a file GDI converts or a load that
// fails.
RgbImage* loadDibImage(const char* path,
                       const std::function<void(int32_t width, int32_t height)>& whileReading = {});
void freeRgbImage(RgbImage* image);

// Every message the loader shows goes through here, in UTF-8 and the user's
// language: a modal box with the caption "Error" and one OK button, owned by
// the focused window.
void reportError(const char* text);

// Tests replace the box with a recorder; returns the previous reporter.
// Passing null restores the message box.
using ErrorReporter = void (*)(const char* text);
ErrorReporter setErrorReporter(ErrorReporter reporter);

// Tests and the benchmark turn off the direct reading of uncompressed 24- and
// 32-bit files (on by default) to compare it with GDI's conversion.
void setDirectReading(bool direct);

// Tests stand another user (a SID) in for the one the renderer runs as, the
// owner a picture must have; passing null restores that one.
void setPictureUser(const void* sid);
