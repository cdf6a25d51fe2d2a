// The renderer's window, message handling and frame.
#include "renderer/renderer_app.h"
#include "renderer/gl_scene.h"

#include <windows.h>
#include <GL/gl.h>

// Built before the entry routine, the window record first; the cloth goes at
// process exit, after the window and context are gone.
GlWindow glWindow = {nullptr, nullptr, nullptr, nullptr};
Cloth cloth(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);

bool keys[256];
bool active = true;
const int stepsPerFrame = 7;

namespace {

PIXELFORMATDESCRIPTOR pixelFormat;
bool pixelFormatFilled = false;

const char kClassName[] = "OpenGL";

} // namespace

void destroyGlWindow() {
    ShowCursor(TRUE);
    if (glWindow.renderingContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(glWindow.renderingContext);
        glWindow.renderingContext = nullptr;
    }
    if (glWindow.deviceContext) {
        ReleaseDC(glWindow.window, glWindow.deviceContext);
        glWindow.deviceContext = nullptr;
    }
    if (glWindow.window) {
        DestroyWindow(glWindow.window);
        glWindow.window = nullptr;
    }
    UnregisterClassA(kClassName, glWindow.instance);
}

bool createGlWindow(const char* title, int width, int height, int colourBits, WNDPROC procedure) {
    RECT rect = {0, 0, width, height};

    glWindow.instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = glWindow.instance;
    windowClass.hIcon = LoadIcon(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return false;

    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    const DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ShowCursor(FALSE);
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);

    glWindow.window =
        CreateWindowExA(exStyle, kClassName, title, style, 0, 0, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr, glWindow.instance, nullptr);
    if (!glWindow.window) {
        destroyGlWindow();
        return false;
    }

    if (!pixelFormatFilled) {
        pixelFormat = PIXELFORMATDESCRIPTOR{};
        pixelFormat.nSize = sizeof(PIXELFORMATDESCRIPTOR);
        pixelFormat.nVersion = 1;
        pixelFormat.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pixelFormat.iPixelType = PFD_TYPE_RGBA;
        pixelFormat.cColorBits = BYTE(colourBits);
        pixelFormat.cDepthBits = 16;
        pixelFormat.iLayerType = PFD_MAIN_PLANE;
        pixelFormatFilled = true;
    }

    glWindow.deviceContext = GetDC(glWindow.window);
    int format =
        glWindow.deviceContext ? ChoosePixelFormat(glWindow.deviceContext, &pixelFormat) : 0;
    if (!format || !SetPixelFormat(glWindow.deviceContext, format, &pixelFormat)) {
        destroyGlWindow();
        return false;
    }
    glWindow.renderingContext = wglCreateContext(glWindow.deviceContext);
    if (!glWindow.renderingContext ||
        !wglMakeCurrent(glWindow.deviceContext, glWindow.renderingContext)) {
        destroyGlWindow();
        return false;
    }

    ShowWindow(glWindow.window, SW_SHOW);
    SetForegroundWindow(glWindow.window);
    SetFocus(glWindow.window);
    resizeScene(width, height);
    if (!initGlState()) {
        destroyGlWindow();
        return false;
    }
    return true;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        resizeScene(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        active = HIWORD(wParam) == 0;
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Anyone can post a key message; only real virtual-key codes index.
        if (wParam < sizeof keys) keys[wParam] = message == WM_KEYDOWN;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glPushMatrix();
    glTranslated(0.0, 1.0, -38.0);
    glScaled(0.75, 0.75, 0.75);
    for (int i = 0; i < stepsPerFrame; ++i)
        cloth.step();
    cloth.draw();
    glPopMatrix();
    glFlush();
    Sleep(5);
    return true;
}

int runRenderer() {
    const int width = GetSystemMetrics(SM_CXMAXIMIZED);
    const int height = GetSystemMetrics(SM_CYMAXIMIZED) + GetSystemMetrics(SM_CYCAPTION);
    if (!createGlWindow("Velumira_VC", width, height, 32, windowProc)) return 0;
    setupLights();
    const UINT_PTR timer = SetTimer(glWindow.window, 1, 8, nullptr);
    cloth.loadPicture();
    const int exitCode = runMainLoop();
    KillTimer(glWindow.window, timer);
    destroyGlWindow();
    return exitCode;
}

int runMainLoop() {
    MSG message = {};
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return int(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else if (active) {
            // Escape ends with 0, like a close request.
            if (keys[VK_ESCAPE]) return 0;
            drawFrame();
            SwapBuffers(glWindow.deviceContext);
        }
    }
}
