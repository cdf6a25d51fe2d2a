// Measures the renderer under Wine: start-up phases with a snapshot (up to
// the moment its windows are shown), the real frame loop over every
// monitor's window for a while (frames and cloth steps per second, CPU time
// per second of wall time), and the CPU time of each part of a frame.
//   velumira_renderer_bench.exe <snapshot.bmp> [width height [seconds]]
// Prints medians in milliseconds.
#include "renderer/dib_loader.h"
#include "renderer/gl_scene.h"
#include "renderer/renderer_app.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double cpuMs() {
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    auto ms = [](FILETIME f) {
        return double(uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// Milliseconds since this process was created, by the system clock.
double sinceProcessStartMs() {
    FILETIME creation, exit, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](FILETIME f) { return uint64_t(f.dwHighDateTime) << 32 | f.dwLowDateTime; };
    return double(ticks(now) - ticks(creation)) / 10000.0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMedian(int runs, const std::function<void()>& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double start = nowMs();
        f();
        t.push_back(nowMs() - start);
    }
    return median(t);
}

void quietReporter(const char* text) {
    std::printf("loader says: %s\n", text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s snapshot.bmp [width height [seconds]]\n", argv[0]);
        return 2;
    }
    const char* snapshot = argv[1];
    const int width = argc > 3 ? std::atoi(argv[2]) : 1024;
    const int height = argc > 3 ? std::atoi(argv[3]) : 768;
    const double seconds = argc > 4 ? std::atof(argv[4]) : 5.0;
    setErrorReporter(quietReporter);

    // Start-up in the order of the program, once, cold: everything up to the
    // moment the windows are shown, with their first frame already there.
    double t0 = nowMs();
    if (!createGlWindow("Velumira_VC bench", width, height, 32, windowProc)) return 1;
    double t1 = nowMs();
    setupLights();
    fitWindowsToMonitors();
    double t2 = nowMs();
    cloth.picture.loadBitmap(snapshot);
    double t3 = nowMs();
    WinFramePlatform platform;
    FrameLoop frames(platform, platform.ticksPerSecond(), platform.refreshHz());
    frames.reveal();
    glFinish();
    double t4 = nowMs();
    const double sinceStart = sinceProcessStartMs();
    std::printf("cold start: process start to shown %.0f ms; window+context %.1f, other "
                "monitors %.1f, picture load+texture %.1f, first frames and show %.1f ms "
                "(%d windows, all shown after their first frame)\n",
                sinceStart, t1 - t0, t2 - t1, t3 - t2, t4 - t3, platform.windowCount());
    RgbImage* image = loadDibImage(snapshot);
    if (!image) return 1;

    // Each phase again, warm, as medians.
    const int runs = 15;
    const double load = timeMedian(runs, [&] { freeRgbImage(loadDibImage(snapshot)); });
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const double mipmaps = timeMedian(runs, [&] {
        GLuint name;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                          image->data);
        glFinish();
        glDeleteTextures(1, &name);
    });
    const double whole = timeMedian(runs, [&] {
        Texture t;
        t.loadBitmap(snapshot);
        glFinish();
    });
    std::printf("%dx%d snapshot: file load+decode %.1f ms, gluBuild2DMipmaps %.1f ms, "
                "whole loadBitmap %.1f ms\n",
                image->width, image->height, load, mipmaps, whole);
    freeRgbImage(image);

    // Parts of a frame, CPU only (glFinish makes the drawing count).
    std::vector<double> steps, normals, draws;
    for (int i = 0; i < 50; ++i) {
        double a = nowMs();
        for (int s = 0; s < stepsPerFrame; ++s)
            cloth.step();
        double b = nowMs();
        cloth.computeNormals();
        double c = nowMs();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        cloth.draw();
        glFinish();
        double d = nowMs();
        steps.push_back(b - a);
        normals.push_back(c - b);
        draws.push_back(d - c);
    }
    std::printf("frame parts: %d steps %.3f ms, normals %.3f ms, draw+finish %.3f ms\n",
                stepsPerFrame, median(steps), median(normals), median(draws));

    // The real loop: a waiting message first, else an idle turn of the frames
    // over every monitor's window. The time spent measuring the parts above
    // is not the cloth's to make up.
    frames.pause();
    const double cpu0 = cpuMs();
    const int64_t frames0 = frames.frames(), steps0 = frames.steps();
    const double start = nowMs();
    MSG message;
    while (nowMs() - start < seconds * 1000.0) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            frames.idle();
        }
    }
    const double elapsed = (nowMs() - start) / 1000.0;
    const double cpu = cpuMs() - cpu0;
    std::printf("%dx%d, %d windows, display reports %d Hz: %.1f frames/s, %.1f steps/s, "
                "CPU %.0f ms per second (all threads)\n",
                width, height, platform.windowCount(), platform.refreshHz(),
                double(frames.frames() - frames0) / elapsed,
                double(frames.steps() - steps0) / elapsed, cpu / elapsed);
    destroyMonitorWindows();
    destroyGlWindow();
    return 0;
}
