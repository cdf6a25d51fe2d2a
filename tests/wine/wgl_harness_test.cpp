// Proves the Wine world can do what the renderer needs: a window on the X
// display, a WGL context on it, and pixels that come back as drawn.
#include <windows.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

struct GlWindow {
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    HGLRC rc = nullptr;

    bool open() {
        WNDCLASSA wc = {};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WglHarness";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("WglHarness", "wgl", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr,
                             nullptr, wc.hInstance, nullptr);
        if (!hwnd) return false;
        dc = GetDC(hwnd);
        PIXELFORMATDESCRIPTOR pfd = {};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 24;
        pfd.cDepthBits = 16;
        int format = ChoosePixelFormat(dc, &pfd);
        if (!format || !SetPixelFormat(dc, format, &pfd)) return false;
        rc = wglCreateContext(dc);
        return rc && wglMakeCurrent(dc, rc);
    }
    ~GlWindow() {
        wglMakeCurrent(nullptr, nullptr);
        if (rc) wglDeleteContext(rc);
        if (dc) ReleaseDC(hwnd, dc);
        if (hwnd) DestroyWindow(hwnd);
    }
};

TEST(WglHarness, ClearedColourReadsBack) {
    GlWindow w;
    ASSERT_TRUE(w.open());
    glViewport(0, 0, 64, 64);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char px[4] = {};
    glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[0], 64, 1);
    EXPECT_NEAR(px[1], 128, 1);
    EXPECT_NEAR(px[2], 191, 1);
    EXPECT_NE(glGetString(GL_RENDERER), nullptr);
}

} // namespace
