// A window the cloth scene is drawn in, and the OpenGL context on it.
#pragma once

#include <windows.h>

struct GlWindow {
    HDC deviceContext;
    HGLRC renderingContext;
    HWND window;
    HINSTANCE instance;
};

// The pixel format the scene asks for: RGBA of `colourBits`, double-buffered,
// with a 16-bit depth buffer, on the main plane.
PIXELFORMATDESCRIPTOR scenePixelFormat(int colourBits);

// Gets the window's device context, sets the pixel format on it and makes a
// rendering context there, left current. False as soon as one of them cannot
// be had; what was had stays in `gl` for the caller to release.
bool attachContext(GlWindow& gl, const PIXELFORMATDESCRIPTOR& format);

// Lets go of what attachContext got, whatever of it was had: no context is
// current afterwards, and the context and device context are gone. The
// window stays.
void releaseContext(GlWindow& gl);

// Makes the window's context current unless it is already.
void makeCurrent(const GlWindow& gl);

// Sets how many vertical blanks a swap of the window waits for, where the
// driver offers swap control; otherwise does nothing. Leaves the window's
// context current.
void setSwapInterval(const GlWindow& gl, int interval);
