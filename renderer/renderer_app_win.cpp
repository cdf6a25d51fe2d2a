// The renderer's window, message handling and frame.
#include "renderer/renderer_app.h"
#include "renderer/dib_loader.h"
#include "renderer/escape_note_win.h"
#include "renderer/input_win.h"
#include "renderer/rest_win.h"
#include "scene/gl_scene.h"
#include "monitors/monitor_plan_win.h"

#include <windows.h>
#include <GL/gl.h>

// Built before the entry routine, the window record first; the cloth goes at
// process exit, after the window and context are gone.
GlWindow glWindow = {nullptr, nullptr, nullptr, nullptr};
Cloth cloth(kClothCols, kClothRows, kClothSpacing, kStructural, kShear, kBend);

std::vector<MonitorWindow> monitorWindows;
const char monitorWindowTitle[] = "Velumira_VM";

bool keys[256];
bool active = true;
const int stepsPerFrame = 7;
static_assert(kStepsPerSecond == stepsPerFrame * 60, "the cloth keeps its pace of 60 Hz frames");

namespace {

PIXELFORMATDESCRIPTOR pixelFormat;
bool pixelFormatFilled = false;

const char kClassName[] = "OpenGL";
constexpr DWORD kWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Set by any window when the displays change; the windows are fitted again
// once the messages of the change are handled.
bool displayChanged = false;

MonitorWindow* monitorWindowOf(HWND window) {
    for (MonitorWindow& m : monitorWindows)
        if (m.gl->window == window) return &m;
    return nullptr;
}

// The primary's one box about its snapshot says all there is to say; another
// monitor whose picture is missing or unusable shows its cloth plain.
void quietReport(const char*) {}

// Leaves the monitor's context current when it succeeds.
bool openMonitorWindow(MonitorWindow& m, const velumira::MonitorShare& share) {
    m.ownGl = std::make_unique<GlWindow>(GlWindow{nullptr, nullptr, nullptr, glWindow.instance});
    m.gl = m.ownGl.get();
    m.monitor = share;
    // Above everything on its monitor (a taskbar there included), and no
    // taskbar button of its own.
    m.gl->window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, monitorWindowTitle,
                                   kWindowStyle, share.left, share.top, share.width, share.height,
                                   nullptr, nullptr, glWindow.instance, nullptr);
    if (!m.gl->window || !attachContext(*m.gl, pixelFormat)) return false;
    resizeScene(share.width, share.height);
    initGlState();
    setupLights();
    m.ownCloth =
        std::make_unique<Cloth>(kClothCols, kClothRows, kClothSpacing, kStructural, kShear, kBend);
    m.cloth = m.ownCloth.get();
    const ErrorReporter previous = setErrorReporter(quietReport);
    m.cloth->picture.loadBitmap(share.picturePath.c_str());
    setErrorReporter(previous);
    return true;
}

void closeMonitorWindow(MonitorWindow& m) {
    GlWindow& gl = *m.gl;
    if (gl.renderingContext) {
        // Its textures belong to its own context.
        makeCurrent(gl);
        m.ownCloth.reset();
    }
    m.ownCloth.reset();
    m.cloth = nullptr;
    releaseContext(gl);
    if (gl.window) DestroyWindow(gl.window);
    gl = {nullptr, nullptr, nullptr, nullptr};
}

} // namespace

void destroyGlWindow() {
    ShowCursor(TRUE);
    releaseContext(glWindow);
    if (glWindow.window) {
        DestroyWindow(glWindow.window);
        glWindow.window = nullptr;
    }
    UnregisterClassA(kClassName, glWindow.instance);
    monitorWindows.clear();
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
    // Whatever the system shows of a window before its first frame is black,
    // never white.
    windowClass.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return false;

    // Topmost: only a window that is its whole monitor and above the taskbar
    // is full-screen to the system; otherwise the taskbar and every
    // always-on-top window stay drawn over the cloth.
    const DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE | WS_EX_TOPMOST;
    ShowCursor(FALSE);
    AdjustWindowRectEx(&rect, kWindowStyle, FALSE, exStyle);

    glWindow.window =
        CreateWindowExA(exStyle, kClassName, title, kWindowStyle, 0, 0, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr, glWindow.instance, nullptr);
    if (!glWindow.window) {
        destroyGlWindow();
        return false;
    }

    if (!pixelFormatFilled) {
        pixelFormat = scenePixelFormat(colourBits);
        pixelFormatFilled = true;
    }

    if (!attachContext(glWindow, pixelFormat)) {
        destroyGlWindow();
        return false;
    }

    // Shown only once it has a frame to show (revealWindows).
    resizeScene(width, height);
    if (!initGlState()) {
        destroyGlWindow();
        return false;
    }
    monitorWindows.clear();
    monitorWindows.emplace_back();
    monitorWindows[0].gl = &glWindow;
    monitorWindows[0].cloth = &cloth;
    monitorWindows[0].monitor.width = width;
    monitorWindows[0].monitor.height = height;
    monitorWindows[0].monitor.primary = true;
    return true;
}

void fitWindowsToMonitors() {
    if (monitorWindows.empty()) return;
    std::vector<velumira::MonitorShare> placed;
    for (const MonitorWindow& m : monitorWindows)
        placed.push_back(m.monitor);
    const velumira::WindowPlacement placement =
        velumira::PlaceWindows(placed, velumira::PlanTheseMonitors());

    // A window closed while it has the keyboard would leave Escape nowhere to
    // go: the primary takes it back.
    const HWND foreground = GetForegroundWindow();
    bool refocus = false;
    for (int closed : placement.closed) {
        MonitorWindow& m = monitorWindows[size_t(closed)];
        refocus = refocus || m.gl->window == foreground;
        closeMonitorWindow(m);
    }
    for (const velumira::PlacedWindow& p : placement.windows) {
        if (p.window == velumira::kNewWindow) continue;
        MonitorWindow& m = monitorWindows[size_t(p.window)];
        m.monitor = p.monitor;
        // Its WM_SIZE sets its viewport.
        SetWindowPos(m.gl->window, HWND_TOPMOST, p.monitor.left, p.monitor.top, p.monitor.width,
                     p.monitor.height, SWP_NOACTIVATE);
    }
    // New windows are made before the list changes: their messages find
    // every other window where it was.
    std::vector<MonitorWindow> opened(placement.windows.size());
    for (size_t i = 0; i < placement.windows.size(); ++i) {
        if (placement.windows[i].window != velumira::kNewWindow) continue;
        if (!openMonitorWindow(opened[i], placement.windows[i].monitor))
            closeMonitorWindow(opened[i]);
    }
    std::vector<MonitorWindow> fitted;
    for (size_t i = 0; i < placement.windows.size(); ++i) {
        const int from = placement.windows[i].window;
        if (from != velumira::kNewWindow)
            fitted.push_back(std::move(monitorWindows[size_t(from)]));
        else if (opened[i].cloth)
            fitted.push_back(std::move(opened[i]));
    }
    monitorWindows = std::move(fitted);

    GlWindow& primary = *monitorWindows[0].gl;
    makeCurrent(primary);
    if (refocus) {
        SetForegroundWindow(primary.window);
        SetFocus(primary.window);
    }
}

void destroyMonitorWindows() {
    if (monitorWindows.size() < 2) return;
    while (monitorWindows.size() > 1) {
        closeMonitorWindow(monitorWindows.back());
        monitorWindows.pop_back();
    }
    makeCurrent(*monitorWindows[0].gl);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // None changes what the message itself does.
    escapeNoteHears(window, message, wParam, lParam);
    heedInput(message, wParam, lParam);
    visibility.heed(message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        // Each window's viewport lives in its own context; one still being
        // made sizes itself once its context exists.
        if (MonitorWindow* m = monitorWindowOf(window)) {
            if (m->gl->renderingContext) {
                const HDC dc = wglGetCurrentDC();
                const HGLRC context = wglGetCurrentContext();
                makeCurrent(*m->gl);
                resizeScene(LOWORD(lParam), HIWORD(lParam));
                wglMakeCurrent(dc, context);
            }
        }
        return 0;
    case WM_ACTIVATE:
        active = HIWORD(wParam) == 0;
        return 0;
    case WM_ERASEBKGND:
        // Every pixel comes from the frames; an erase would blank the last one
        // until the next.
        return 1;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Anyone can post a key message; only real virtual-key codes index.
        if (wParam < sizeof keys) keys[wParam] = message == WM_KEYDOWN;
        return 0;
    case WM_DISPLAYCHANGE:
        displayChanged = true;
        [[fallthrough]];
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool drawFrame(MonitorWindow& target, int steps) {
    makeCurrent(*target.gl);
    drawScene(*target.cloth, steps);
    if (&target == &monitorWindows.front()) drawEscapeNote();
    return true;
}

GlWindow& WinFramePlatform::gl(int window) {
    return *monitorWindows[size_t(window)].gl;
}

int WinFramePlatform::windowCount() {
    return int(monitorWindows.size());
}

void WinFramePlatform::draw(int window, int steps) {
    drawFrame(monitorWindows[size_t(window)], steps);
}

void WinFramePlatform::clear(int window) {
    makeCurrent(gl(window));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Between frames the primary's context is current, as after start-up.
void WinFramePlatform::swap(int window) {
    SwapBuffers(gl(window).deviceContext);
    makeCurrent(gl(0));
}

void WinFramePlatform::show(int window) {
    monitorWindows[size_t(window)].shown = true;
    HWND hwnd = gl(window).window;
    if (window != 0) {
        // The primary keeps the focus and the keyboard.
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        return;
    }
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
}

bool WinFramePlatform::shown(int window) {
    return monitorWindows[size_t(window)].shown;
}

void WinFramePlatform::setSwapInterval(int window, int interval) {
    ::setSwapInterval(gl(window), interval);
    makeCurrent(gl(0));
}

int64_t WinFramePlatform::now() {
    return clock_.now();
}

void WinFramePlatform::waitUntil(int64_t tick) {
    clock_.waitUntil(tick);
}

namespace {

FrameLoop* revealingLoop = nullptr;
ErrorReporter outerReporter = nullptr;

// The primary's picture could not be loaded: its box is owned by the visible,
// focused renderer window, which shows black until the box is dismissed.
void revealThenReport(const char* text) {
    if (revealingLoop) revealingLoop->reveal(true);
    outerReporter(text);
}

} // namespace

int runRenderer() {
    // The primary monitor in physical pixels, the whole of it.
    const velumira::MonitorShare primary = velumira::PlanTheseMonitors().front();
    if (!createGlWindow(velumira::kRendererTitle, primary.width, primary.height, 32, windowProc))
        return 0;
    setupLights();
    const UINT_PTR timer = SetTimer(glWindow.window, kWakeTimer, kWakePeriodMs, nullptr);
    listenForEscape(glWindow.window);
    visibility.watch(glWindow.window, kWakeTimer, kWakePeriodMs);
    // Every monitor is covered before anything can wait for the user.
    fitWindowsToMonitors();
    int exitCode = 0;
    {
        WinFramePlatform platform;
        FrameLoop frames(platform, platform.ticksPerSecond(), platform.refreshHz());
        revealingLoop = &frames;
        outerReporter = setErrorReporter(revealThenReport);
        cloth.loadPicture();
        setErrorReporter(outerReporter);
        revealingLoop = nullptr;
        // Until now the user sees the live desktop, which is what the
        // picture shows.
        frames.reveal();
        exitCode = runMainLoop(frames, platform);
    }
    visibility.unwatch();
    KillTimer(glWindow.window, timer);
    // They use the primary's window class, which goes with it.
    destroyMonitorWindows();
    destroyGlWindow();
    return exitCode;
}

int runMainLoop(FrameLoop& frames, WinFramePlatform& platform) {
    MSG message = {};
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return int(message.wParam);
            // The system sends its power notices; a posted one's pointer is
            // no one's to trust.
            if (message.message == WM_POWERBROADCAST) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else if (displayChanged) {
            // Once every window has heard of the change.
            displayChanged = false;
            fitWindowsToMonitors();
            frames.setRefreshHz(platform.readRefreshHz());
        } else if (active) {
            // Escape ends with 0, like a close request.
            if (keys[VK_ESCAPE]) return 0;
            // While no one can see the cloth, only a message wakes the loop.
            frames.setSeen(visibility.seen());
            if (frames.seen())
                frames.idle();
            else
                WaitMessage();
        } else {
            // Minimised: nothing to draw until a message says otherwise, and
            // the time until then is not simulated.
            frames.pause();
            WaitMessage();
        }
    }
}
