#include "renderer/dib_loader.h"
#include "texture/dib_direct.h"
#include "texture/dib_layout.h"
#include "texture/row_split.h"
#include "monitors/process_user_win.h"
#include "texts/texts_win.h"

#include <windows.h>
#include <aclapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void messageBoxReporter(const char* text) {
    MessageBoxW(GetFocus(), velumira::Wide(text).c_str(),
                velumira::Wide(velumira::UserTexts().errorCaption).c_str(), MB_OK);
}

ErrorReporter currentReporter = messageBoxReporter;
const void* pictureUser = nullptr; // null: the process's own
bool directReading = true;

// Only an owner that can be read and is the user counts. A file system that
// keeps no owners cannot tell the user's picture from one another account put
// there, so its pictures are refused too.
bool ownedByPictureUser(HANDLE file) {
    std::vector<unsigned char> own;
    const void* user = pictureUser;
    if (!user) {
        own = velumira::ProcessUserSid();
        if (own.empty()) return false;
        user = own.data();
    }
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const bool mine = GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                      nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS &&
                      owner && EqualSid(owner, const_cast<void*>(user));
    LocalFree(descriptor);
    return mine;
}

const char* outOfMemory() {
    return velumira::UserTexts().outOfMemory;
}

// The path, an ANSI one, as the UTF-8 the messages are made of.
std::string Utf8OfAnsi(const char* path) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 1) return std::string();
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], n);
    return velumira::Utf8(wide.c_str());
}

// The file, mapped read-only for the duration of one load.
struct MappedFile {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const unsigned char* view = nullptr;
    size_t size = 0;

    bool open(const char* path) {
        file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE || !ownedByPictureUser(file)) return false;
        LARGE_INTEGER length;
        if (!GetFileSizeEx(file, &length) || length.QuadPart <= 0 ||
            uint64_t(length.QuadPart) > SIZE_MAX)
            return false;
        size = size_t(length.QuadPart);
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!mapping) return false;
        view = static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        return view != nullptr;
    }
    ~MappedFile() {
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

// The source header GDI decodes from: 40-byte header plus colour table.
BITMAPINFO* makeWorkingHeader(const MappedFile& in, const DibLayout& layout) {
    auto* bmi = static_cast<BITMAPINFO*>(std::calloc(1, 44 + 4 * size_t(layout.colourCount)));
    if (!bmi) return nullptr;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    h.biSize = 40;
    h.biWidth = layout.info.width;
    h.biHeight = layout.info.height;
    h.biPlanes = layout.info.planes;
    h.biBitCount = layout.info.bitCount;
    h.biCompression = layout.info.compression;
    h.biSizeImage = layout.info.sizeImage;
    h.biXPelsPerMeter = layout.info.xPelsPerMeter;
    h.biYPelsPerMeter = layout.info.yPelsPerMeter;
    h.biClrUsed = layout.info.clrUsed;
    h.biClrImportant = layout.info.clrImportant;
    static_assert(sizeof(RGBQUAD) == 4, "colour entries are 4 bytes");
    readDibColours(in.view, layout, reinterpret_cast<unsigned char*>(bmi->bmiColors));
    return bmi;
}

// Decodes an already checked file; returns the message to show on failure.
RgbImage* decode(const MappedFile& in, const DibLayout& layout, const char*& failure) {
    const int32_t width = layout.info.width;
    const int32_t height = layout.info.height;
    BITMAPINFO* source = makeWorkingHeader(in, layout);
    HDC dc = nullptr;
    HBITMAP section = nullptr;
    HGDIOBJ previous = nullptr;
    BITMAPINFO* target = nullptr;
    unsigned char* bits = nullptr;
    unsigned char* out = nullptr;
    RgbImage* image = nullptr;

    failure = outOfMemory();
    if (source) dc = CreateCompatibleDC(nullptr);
    if (dc) target = static_cast<BITMAPINFO*>(std::calloc(1, 44));
    if (target) {
        BITMAPINFOHEADER& h = target->bmiHeader;
        h.biSize = 40;
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = 24;
        h.biCompression = BI_RGB;
        h.biSizeImage = DWORD(height) * DWORD(width) * 3;
        void* sectionBits = nullptr;
        section = CreateDIBSection(dc, target, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
        bits = static_cast<unsigned char*>(sectionBits);
    }
    if (section) previous = SelectObject(dc, section);
    if (section && previous) {
        failure = nullptr;
        if (!SetDIBits(dc, section, 0, UINT(height), in.view + layout.pixelOffset, source,
                       DIB_RGB_COLORS))
            failure = velumira::UserTexts().pictureNotConverted;
    }
    const size_t rowBytes = size_t(width) * 3;
    if (!failure) {
        GdiFlush();
        out = static_cast<unsigned char*>(std::malloc(rowBytes * size_t(height)));
        if (!out) failure = outOfMemory();
    }
    if (!failure) {
        packBgrRows(bits, width, height, out);
        image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
        if (image) {
            image->width = width;
            image->height = height;
            image->data = out;
        } else {
            failure = outOfMemory();
        }
    }

    if (previous) SelectObject(dc, previous);
    if (dc) DeleteDC(dc);
    if (section) DeleteObject(section);
    std::free(target);
    std::free(source);
    if (!image) std::free(out);
    return image;
}

// Rows GDI would only copy and reorder are read straight from the file.
RgbImage* readDirectly(const MappedFile& in, const DibLayout& layout,
                       const std::function<void(int32_t, int32_t)>& whileReading) {
    const int32_t width = layout.info.width, height = layout.info.height;
    auto* out = static_cast<unsigned char*>(std::malloc(size_t(width) * size_t(height) * 3));
    auto* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (!out || !image) {
        std::free(out);
        std::free(image);
        return nullptr;
    }
    std::function<void()> meanwhile;
    if (whileReading) meanwhile = [&] { whileReading(width, height); };
    readRowsDirectly(in.view, layout, out, rowParts(int64_t(width) * height), meanwhile);
    *image = {width, height, out};
    return image;
}

} // namespace

void reportError(const char* text) {
    currentReporter(text);
}

ErrorReporter setErrorReporter(ErrorReporter reporter) {
    ErrorReporter previous = currentReporter;
    currentReporter = reporter ? reporter : messageBoxReporter;
    return previous;
}

void setPictureUser(const void* sid) {
    pictureUser = sid;
}

void setDirectReading(bool direct) {
    directReading = direct;
}

void freeRgbImage(RgbImage* image) {
    if (!image) return;
    std::free(image->data);
    std::free(image);
}

RgbImage* loadDibImage(const char* path,
                       const std::function<void(int32_t width, int32_t height)>& whileReading) {
    MappedFile in;
    if (!in.open(path)) {
        const velumira::Texts& texts = velumira::UserTexts();
        const std::string text =
            texts.pictureNotOpenedFirst + Utf8OfAnsi(path) + texts.pictureNotOpenedLast;
        reportError(text.c_str());
        return nullptr;
    }
    DibLayout layout;
    switch (checkDib(in.view, in.size, layout)) {
    case DibCheck::Ok:
        break;
    case DibCheck::UnknownFormat:
        reportError(velumira::UserTexts().unknownPictureFormat);
        return nullptr;
    case DibCheck::Unsupported:
        reportError(velumira::UserTexts().pictureNotConverted);
        return nullptr;
    }
    if (directReading && readsDirectly(layout)) {
        RgbImage* image = readDirectly(in, layout, whileReading);
        if (!image) reportError(outOfMemory());
        return image;
    }
    const char* failure = nullptr;
    RgbImage* image = decode(in, layout, failure);
    if (!image) reportError(failure);
    return image;
}
