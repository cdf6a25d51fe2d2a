#include "preview_cloth_win.h"

#include "preview_picture.h"

#include "cloth/cloth.h"
#include "scene/frame_clock_win.h"
#include "scene/frame_loop.h"
#include "scene/gl_scene.h"
#include "scene/gl_window_win.h"

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace velumira {

namespace {

constexpr char kClothClass[] = "Velumira_Cloth";
constexpr char kClothName[] = "Pic_Prev";
// A thumbnail's worth of frames: at this size the cloth's slow swing moves it
// about half a pixel from one to the next, while every frame costs the whole
// sheet's triangles, which a software OpenGL pays for on the processor (at 60
// a second, more than half a core under Wine's).
constexpr int kPreviewFramesPerSecond = 15;

// The desktop picture from the program's resources.
bool LoadPreviewDesktop(RgbPicture& picture) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(kPreviewDesktopId), MAKEINTRESOURCEA(2));
    if (!res) return false;
    const DWORD size = SizeofResource(module, res);
    const void* data = LockResource(LoadResource(module, res));
    return data && DecodePreviewPicture(static_cast<const unsigned char*>(data), size, picture);
}

// The preview's one window of frames. It never takes the focus and leaves
// the cursor as it is.
class PreviewCloth final : public FramePlatform {
  public:
    // `gl` holds the window with its context current.
    explicit PreviewCloth(const GlWindow& gl)
        : gl_(gl), cloth_(std::make_unique<Cloth>(kClothCols, kClothRows, kClothSpacing,
                                                  kStructural, kShear, kBend)),
          frames_(*this, clock_.ticksPerSecond(), clock_.refreshHz(), kPreviewFramesPerSecond) {}

    ~PreviewCloth() override {
        // The textures belong to the context.
        makeCurrent(gl_);
        cloth_.reset();
        releaseContext(gl_);
    }
    PreviewCloth(const PreviewCloth&) = delete;
    PreviewCloth& operator=(const PreviewCloth&) = delete;

    void start(int width, int height) {
        resizeScene(width, height);
        initGlState();
        setupLights();
        // Without its picture the sheet swings plain, as the renderer's does.
        RgbPicture desktop;
        if (LoadPreviewDesktop(desktop))
            cloth_->picture.loadPixels(desktop.rgb.data(), desktop.width, desktop.height);
        frames_.reveal();
    }

    bool idle() {
        if (!IsWindowVisible(gl_.window)) {
            // Not seen: no frames, and that time is not simulated.
            frames_.pause();
            return false;
        }
        frames_.idle();
        return true;
    }

    void resize(int width, int height) {
        makeCurrent(gl_);
        resizeScene(width, height);
    }

    LRESULT answer(WPARAM question) {
        if (question == kFramesDrawn) return LRESULT(frames_.frames());
        if (question != kFrameDigest) return 0;
        // The next frame is read back before it is shown: after a swap the
        // buffers hold nothing a reading can rely on.
        digestWanted_ = true;
        return LRESULT(digest_);
    }

    int windowCount() override { return 1; }
    void draw(int, int steps) override {
        makeCurrent(gl_);
        drawScene(*cloth_, steps);
    }
    void clear(int) override {
        makeCurrent(gl_);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void swap(int) override {
        if (digestWanted_) {
            digest_ = frameDigest();
            digestWanted_ = false;
        }
        SwapBuffers(gl_.deviceContext);
    }
    void show(int) override {
        ShowWindow(gl_.window, SW_SHOWNA);
        shown_ = true;
    }
    bool shown(int) override { return shown_; }
    void setSwapInterval(int, int interval) override { ::setSwapInterval(gl_, interval); }
    int64_t now() override { return clock_.now(); }
    void waitUntil(int64_t tick) override { clock_.waitUntil(tick); }

  private:
    // FNV-1a over the pixels of the frame about to be shown.
    uint32_t frameDigest() {
        makeCurrent(gl_);
        RECT r = {};
        GetClientRect(gl_.window, &r);
        std::vector<unsigned char> pixels(size_t(r.right) * size_t(r.bottom) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, r.right, r.bottom, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        uint32_t digest = 2166136261u;
        for (unsigned char byte : pixels)
            digest = (digest ^ byte) * 16777619u;
        return digest;
    }

    GlWindow gl_;
    FrameClock clock_;
    std::unique_ptr<Cloth> cloth_;
    FrameLoop frames_;
    bool shown_ = false;
    uint32_t digest_ = 0; // of the last frame read back
    bool digestWanted_ = false;
};

std::unique_ptr<PreviewCloth> g_cloth;
UINT g_frameQuery = 0;

LRESULT CALLBACK ClothProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == g_frameQuery && g_frameQuery) return g_cloth ? g_cloth->answer(wp) : 0;
    switch (msg) {
    case WM_SIZE:
        if (g_cloth) g_cloth->resize(LOWORD(lp), HIWORD(lp));
        return 0;
    case WM_ERASEBKGND:
        // Every pixel comes from the frames.
        return 1;
    case WM_DESTROY:
        // With the preview, or with the area it is in.
        g_cloth.reset();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

} // namespace

bool StartPreviewCloth(HWND preview) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    // Its own device context for good, as a pixel format wants.
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = ClothProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClothClass;
    RegisterClassA(&wc);
    g_frameQuery = RegisterWindowMessageA(kPreviewFrameQuery);

    RECT area = {};
    GetClientRect(preview, &area);
    // Shown once it has a frame to show.
    GlWindow gl = {nullptr, nullptr, nullptr, instance};
    gl.window = CreateWindowExA(0, kClothClass, kClothName, WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                                area.right, area.bottom, preview, nullptr, instance, nullptr);
    if (!gl.window) return false;
    if (!attachContext(gl, scenePixelFormat(32))) {
        releaseContext(gl);
        DestroyWindow(gl.window);
        return false;
    }
    g_cloth = std::make_unique<PreviewCloth>(gl);
    g_cloth->start(area.right, area.bottom);
    return true;
}

bool PreviewClothIdle() {
    return g_cloth && g_cloth->idle();
}

} // namespace velumira
