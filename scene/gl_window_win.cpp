#include "scene/gl_window_win.h"

#include <cstring>

PIXELFORMATDESCRIPTOR scenePixelFormat(int colourBits) {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = BYTE(colourBits);
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

bool attachContext(GlWindow& gl, const PIXELFORMATDESCRIPTOR& format) {
    gl.deviceContext = GetDC(gl.window);
    const int chosen = gl.deviceContext ? ChoosePixelFormat(gl.deviceContext, &format) : 0;
    if (!chosen || !SetPixelFormat(gl.deviceContext, chosen, &format)) return false;
    gl.renderingContext = wglCreateContext(gl.deviceContext);
    return gl.renderingContext && wglMakeCurrent(gl.deviceContext, gl.renderingContext);
}

void releaseContext(GlWindow& gl) {
    if (gl.renderingContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(gl.renderingContext);
        gl.renderingContext = nullptr;
    }
    if (gl.deviceContext) {
        ReleaseDC(gl.window, gl.deviceContext);
        gl.deviceContext = nullptr;
    }
}

void makeCurrent(const GlWindow& gl) {
    if (wglGetCurrentContext() != gl.renderingContext || wglGetCurrentDC() != gl.deviceContext)
        wglMakeCurrent(gl.deviceContext, gl.renderingContext);
}

void setSwapInterval(const GlWindow& gl, int interval) {
    using SwapIntervalExt = BOOL(WINAPI*)(int);
    using ExtensionsArb = const char*(WINAPI*)(HDC);
    using ExtensionsExt = const char*(WINAPI*)();
    makeCurrent(gl);
    // Some drivers hand out entry points of extensions they do not offer;
    // the extension string decides where there is one.
    const char* extensions = nullptr;
    if (auto arb = reinterpret_cast<ExtensionsArb>(
            reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB"))))
        extensions = arb(gl.deviceContext);
    else if (auto ext = reinterpret_cast<ExtensionsExt>(
                 reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT"))))
        extensions = ext();
    const auto swapInterval = reinterpret_cast<SwapIntervalExt>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (swapInterval && (!extensions || std::strstr(extensions, "WGL_EXT_swap_control")))
        swapInterval(interval);
}
