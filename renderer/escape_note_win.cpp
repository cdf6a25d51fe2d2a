#include "renderer/escape_note_win.h"
#include "renderer/escape_note.h"
#include "texts/texts_win.h"

#include <windowsx.h>
#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

EscapeNote note;
// The pointer's place when the first frame is drawn, before the window shows:
// from then on the user's first move counts.
bool pointerPlaced = false;

// The note as a texture of the context it was made in, for a view of one
// height: its text is scaled to the monitor.
struct NotePicture {
    HGLRC context = nullptr;
    int viewHeight = 0;
    GLuint name = 0;
    int width = 0, height = 0; // the band, in texels and pixels alike
    int stride = 0, rows = 0;  // the texture, powers of two as OpenGL 1.1 wants
};
NotePicture picture;

int64_t nowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return count.QuadPart / frequency.QuadPart * 1000 +
           count.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
}

int powerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}

// The system's message font, the one its own boxes speak in, at a height
// that reads alike on every monitor; antialiased in grey, never in colour
// fringes, since its coverage becomes the texture's alpha.
HFONT noteFont(int viewHeight) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font = {};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    font.lfHeight = -std::max(14, viewHeight / 32);
    font.lfWidth = 0;
    font.lfQuality = ANTIALIASED_QUALITY;
    return CreateFontIndirectW(&font);
}

// Draws the note's text with GDI and gives the band's texels to a new
// texture, bound. False where GDI or OpenGL cannot make it.
bool makePicture(int viewHeight) {
    const std::wstring text = velumira::Wide(velumira::UserTexts().escapeNote);
    const HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    const HFONT font = noteFont(viewHeight);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    // The round ends take a line's height on either side.
    const int padX = size.cy, padY = size.cy / 2;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const int width = std::min(int(size.cx) + 2 * padX, int(maxSize));
    const int height = std::min(int(size.cy) + 2 * padY, int(maxSize));

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top down, as the texture's rows go
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = width > 0 && height > 0
                               ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                               : nullptr;
    std::vector<uint8_t> coverage;
    if (bitmap) {
        const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutW(dc, padX, padY, text.c_str(), int(text.size()));
        GdiFlush();
        // White on black: any channel is the glyphs' coverage.
        const auto* pixels = static_cast<const uint8_t*>(bits);
        coverage.resize(size_t(width) * size_t(height));
        for (size_t i = 0; i < coverage.size(); ++i)
            coverage[i] = std::max({pixels[4 * i], pixels[4 * i + 1], pixels[4 * i + 2]});
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
    if (coverage.empty()) return false;

    picture.width = width;
    picture.height = height;
    picture.stride = powerOfTwoAtLeast(width);
    picture.rows = powerOfTwoAtLeast(height);
    const std::vector<uint8_t> texels =
        NoteTexels(coverage, width, height, picture.stride, picture.rows);
    glGenTextures(1, &picture.name);
    glBindTexture(GL_TEXTURE_2D, picture.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    // Rows of 4-byte texels suit any unpack alignment.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.stride, picture.rows, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, texels.data());
    return glGetError() == GL_NO_ERROR;
}

// The note's texture for this context and view, bound; made once for each,
// and not tried again where it could not be made.
bool bindPicture(int viewHeight) {
    const HGLRC context = wglGetCurrentContext();
    if (picture.context == context && picture.viewHeight == viewHeight) {
        if (picture.name) glBindTexture(GL_TEXTURE_2D, picture.name);
        return picture.name != 0;
    }
    // A texture of another context went with it; one of this context is
    // outgrown by a new display mode.
    if (picture.context == context && picture.name) glDeleteTextures(1, &picture.name);
    picture = NotePicture();
    picture.context = context;
    picture.viewHeight = viewHeight;
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
    }
    if (makePicture(viewHeight)) return true;
    if (picture.name) glDeleteTextures(1, &picture.name);
    picture.name = 0;
    return false;
}

} // namespace

void escapeNoteHears(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        // On the screen, so that a move from one monitor's window to the
        // next is compared alike.
        POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &p);
        note.pointerAt(p.x, p.y, nowMs());
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
        note.input(nowMs());
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam != VK_ESCAPE) note.input(nowMs());
        break;
    default:
        break;
    }
}

void drawEscapeNote() {
    const int64_t now = nowMs();
    if (!pointerPlaced) {
        pointerPlaced = true;
        POINT p;
        if (GetCursorPos(&p)) note.pointerAt(p.x, p.y, now);
    }
    const float alpha = note.alpha(now);
    if (alpha <= 0.0f) return;

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int viewWidth = viewport[2], viewHeight = viewport[3];
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    if (bindPicture(viewHeight)) {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, viewWidth, viewHeight, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();

        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); // the texels are premultiplied
        glColor4f(alpha, alpha, alpha, alpha);

        // Centred, low on the screen, on whole pixels so that every texel
        // is one pixel and the text stays as sharp as GDI drew it.
        const int left = (viewWidth - picture.width) / 2;
        const int top = viewHeight * 5 / 6 - picture.height / 2;
        const float s = float(picture.width) / float(picture.stride);
        const float t = float(picture.height) / float(picture.rows);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2i(left, top);
        glTexCoord2f(0.0f, t);
        glVertex2i(left, top + picture.height);
        glTexCoord2f(s, t);
        glVertex2i(left + picture.width, top + picture.height);
        glTexCoord2f(s, 0.0f);
        glVertex2i(left + picture.width, top);
        glEnd();

        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
    }
    glPopAttrib();
}
