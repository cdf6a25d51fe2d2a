// Shows both controls in all their looks in one small window and saves what
// the screen shows of it as a bitmap file: controls_showcase <out.bmp>.
#include <cstdio>
#include <vector>

#include "controls.h"

using namespace velumira;

namespace {

LRESULT CALLBACK FormProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

bool SaveWindow(HWND wnd, const char* path) {
    RECT rc;
    GetClientRect(wnd, &rc);
    POINT origin = {0, 0};
    ClientToScreen(wnd, &origin);
    const int w = rc.right, h = rc.bottom;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    const DWORD stride = DWORD((w * 3 + 3) & ~3), size = stride * DWORD(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool ok = false;
    if (FILE* f = std::fopen(path, "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 &&
             std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, size, 1, f) == 1;
        ok = std::fclose(f) == 0 && ok;
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: controls_showcase out.bmp\n");
        return 2;
    }
    HINSTANCE inst = GetModuleHandleA(nullptr);
    RegisterControlClasses(inst);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FormProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(RGB(224, 224, 224));
    wc.lpszClassName = "VelumiraShowcase";
    RegisterClassA(&wc);
    RECT outer = {0, 0, 520, 250};
    AdjustWindowRect(&outer, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
    HWND form = CreateWindowExA(
        0, "VelumiraShowcase", "controls", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 60,
        60, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, inst, nullptr);
    SetForegroundWindow(form);

    // Square frame with a title box, as the settings dialog uses them.
    GFXFrameX* group = GFXFrameX::create(form, 1, {12, 16, 481, 116});
    PropertyBag titleBox{{"BackColour", "0x00C0C0C0"}};
    GFXFrameX::create(group->hWnd(), 2, {16, 16, 145, 49}, &titleBox);
    // Rounded frame, deeper and darker shadow.
    PropertyBag rounded{{"FrameStyle", "0"},
                        {"ShadowOpacity", "80"},
                        {"ShadowDepth", "8"},
                        {"CornerDepth", "20"},
                        {"FillColour", "0x00F4F0EC"}};
    GFXFrameX::create(group->hWnd(), 3, {170, 12, 460, 90}, &rounded);

    // The five looks of the button.
    const char* captions[] = {"Disabled", "&Normal", "&Default", "&Hot", "&Pressed"};
    std::vector<ccXPButton*> b;
    for (int i = 0; i < 5; ++i) {
        PropertyBag bag{{"Caption", captions[i]}};
        b.push_back(ccXPButton::create(form, 10 + i, {12 + 100 * i, 140, 93 + 100 * i, 165}, &bag));
    }
    b[0]->setEnabled(false);
    b[2]->setDisplayAsDefault(true);
    SendMessageA(b[4]->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); // focused, pressed
    SendMessageA(b[3]->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    // A button on the frame, and a small one at the minimum size.
    PropertyBag dots{{"Caption", "..."}};
    ccXPButton::create(group->hWnd(), 20, {40, 60, 69, 81}, &dots);
    PropertyBag tiny{{"Caption", ""}};
    ccXPButton::create(form, 21, {12, 190, 14, 192}, &tiny);
    PropertyBag big{{"Caption", "&Apply"}, {"Font", "Verdana;12;700;0;0;0;0"}};
    ccXPButton* focused = ccXPButton::create(form, 22, {40, 185, 200, 225}, &big);
    (void)focused;

    Pump();
    bool ok = SaveWindow(form, argv[1]);
    DestroyWindow(form);
    return ok ? 0 : 1;
}
