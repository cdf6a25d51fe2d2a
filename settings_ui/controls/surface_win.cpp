#include "surface_win.h"

namespace velumira {

GdiSurface::GdiSurface() {
    dc_ = CreateCompatibleDC(nullptr);
    resize(1, 1);
}

GdiSurface::~GdiSurface() {
    if (dc_ && oldBitmap_) SelectObject(dc_, oldBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

bool GdiSurface::resize(int width, int height) {
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    if (bitmap_ && width == width_ && height == height_) return false;
    if (!dc_) return false;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp) return false;
    HGDIOBJ prev = SelectObject(dc_, bmp);
    if (!oldBitmap_) oldBitmap_ = prev;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = bmp;
    width_ = width;
    height_ = height;
    return true;
}

void GdiSurface::copyTo(HDC target, int x, int y) const {
    BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

bool GdiSurface::answerPaint(HWND wnd, UINT msg, WPARAM wp, LRESULT& result) const {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        if (dc) copyTo(dc);
        EndPaint(wnd, &ps);
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        copyTo(reinterpret_cast<HDC>(wp));
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    default:
        return false;
    }
}

void GdiSurface::clear(Colour background) {
    SetBkColor(dc_, background);
    fillRect(0, 0, width_, height_, background);
}

void GdiSurface::line(int x1, int y1, int x2, int y2, Colour colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    if (!pen) return;
    HGDIOBJ old = SelectObject(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    SelectObject(dc_, old);
    DeleteObject(pen);
}

void GdiSurface::fillRect(int left, int top, int right, int bottom, Colour colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    RECT r = {left, top, right, bottom};
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
}

void GdiSurface::setPixel(int x, int y, Colour colour) {
    SetPixelV(dc_, x, y, colour);
}

Colour GdiSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kNoColour;
    return GetPixel(dc_, x, y);
}

template <class F> void GdiSurface::withPenAndBrush(Colour pen, const Colour* brush, F draw) {
    HPEN p = CreatePen(PS_SOLID, 1, pen);
    HBRUSH b = brush ? CreateSolidBrush(*brush) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    HGDIOBJ oldPen = p ? SelectObject(dc_, p) : nullptr;
    HGDIOBJ oldBrush = b ? SelectObject(dc_, b) : nullptr;
    draw();
    if (oldBrush) SelectObject(dc_, oldBrush);
    if (oldPen) SelectObject(dc_, oldPen);
    if (brush && b) DeleteObject(b);
    if (p) DeleteObject(p);
}

void GdiSurface::rectangle(int left, int top, int right, int bottom, Colour pen,
                           const Colour* brush) {
    withPenAndBrush(pen, brush, [&] { Rectangle(dc_, left, top, right, bottom); });
}

void GdiSurface::roundRect(int left, int top, int right, int bottom, int ew, int eh, Colour pen,
                           const Colour* brush) {
    withPenAndBrush(pen, brush, [&] { RoundRect(dc_, left, top, right, bottom, ew, eh); });
}

} // namespace velumira
