// Measures the renderer under Wine: start-up phases with a snapshot (up to
// the moment its windows are shown), the picture from its file to the first
// draw call that shows it, phase by phase, against the way before and against
// gluBuild2DMipmaps alone, the real frame loop over every monitor's window for
// a while (frames and cloth steps per second, CPU time per second of wall
// time), the CPU time of each part of a frame, and the note that tells the way
// out: its first showing and its cost a frame.
//   velumira_renderer_bench.exe <snapshot.bmp> [width height [seconds]]
// Prints medians in milliseconds.
#include "renderer/dib_loader.h"
#include "renderer/escape_note.h"
#include "renderer/escape_note_win.h"
#include "scene/gl_scene.h"
#include "renderer/renderer_app.h"
#include "texture/row_split.h"
#include "texture/texture_level.h"

#include <windows.h>
#include <psapi.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
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

// Opening and mapping the file and touching every page: the reading alone.
double readFile(const char* path) {
    const double start = nowMs();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    GetFileSizeEx(file, &size);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const auto* view =
        static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    volatile unsigned sum = 0;
    for (LONGLONG i = 0; view && i < size.QuadPart; i += 4096)
        sum = sum + view[i];
    if (view) UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
    return nowMs() - start;
}

// A frame of a fresh cloth showing `texture`: the first draw call that uses
// it (until it returns), and the frame's drawing finished after that.
struct Draw {
    double call, finish;
};
Draw firstDraw(GLuint texture) {
    auto sheet = std::make_unique<Cloth>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    sheet->picture.name = texture;
    const double start = nowMs();
    drawScene(*sheet, stepsPerFrame);
    const double called = nowMs();
    glFinish();
    const Draw took = {called - start, nowMs() - called};
    sheet->picture.name = 0; // the caller deletes it
    return took;
}

GLuint gluTexture(const RgbImage* image) {
    GLuint name;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->data);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glFinish();
    return name;
}

// The picture from opening its file to the first draw call that shows it, the
// renderer's way against the way before (GDI's conversion, then GLU's whole
// mipmap chain) and against gluBuild2DMipmaps alone; each phase on its own.
// Medians of warm runs.
bool measurePicture(const char* snapshot) {
    const int runs = 9;
    RgbImage* image = loadDibImage(snapshot);
    if (!image) return false;
    Texture probe;
    probe.loadBitmap(snapshot);
    GLint levelWidth = 0, levelHeight = 0;
    glBindTexture(GL_TEXTURE_2D, probe.textureName());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &levelWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &levelHeight);
    const TextureSize size = {levelWidth, levelHeight};
    std::vector<unsigned char> level(size_t(levelWidth) * levelHeight * 4);

    const double read = timeMedian(runs, [&] { readFile(snapshot); });
    const double load = timeMedian(runs, [&] { freeRgbImage(loadDibImage(snapshot)); });
    const double scale = timeMedian(runs, [&] {
        scaleToTexture(image->data, image->width, image->height, size, TexelLayout::Bgra,
                       kGluArithmetic, level.data(), rowParts(int64_t(levelWidth) * levelHeight));
    });
    std::vector<double> storages, copies, draws, finishes;
    for (int i = 0; i < runs; ++i) {
        GLuint name;
        glGenTextures(1, &name);
        const double start = nowMs();
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, levelWidth, levelHeight, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                     nullptr);
        const double made = nowMs();
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, levelWidth, levelHeight, GL_BGRA_EXT,
                        GL_UNSIGNED_BYTE, level.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glFinish();
        storages.push_back(made - start);
        copies.push_back(nowMs() - made);
        const Draw draw = firstDraw(name);
        draws.push_back(draw.call);
        finishes.push_back(draw.finish);
        glDeleteTextures(1, &name);
    }
    std::vector<double> wholes;
    for (int i = 0; i < runs; ++i) {
        auto sheet = std::make_unique<Cloth>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
        const double start = nowMs();
        sheet->picture.loadBitmap(snapshot);
        drawScene(*sheet, stepsPerFrame);
        wholes.push_back(nowMs() - start);
        glFinish();
    }
    const double whole = median(wholes);

    setDirectReading(false);
    const double gdiLoad = timeMedian(runs, [&] { freeRgbImage(loadDibImage(snapshot)); });
    std::vector<double> gluAlone, gluDraws, before;
    for (int i = 0; i < runs; ++i) {
        double start = nowMs();
        GLuint name = gluTexture(image);
        gluAlone.push_back(nowMs() - start);
        gluDraws.push_back(firstDraw(name).call);
        glDeleteTextures(1, &name);
        start = nowMs();
        RgbImage* decoded = loadDibImage(snapshot);
        name = gluTexture(decoded);
        before.push_back(nowMs() - start + firstDraw(name).call);
        glDeleteTextures(1, &name);
        freeRgbImage(decoded);
    }
    setDirectReading(true);

    const double glu = median(gluAlone);
    std::printf("%dx%d picture, level 0 %dx%d, %d cores (medians of %d, ms):\n", image->width,
                image->height, levelWidth, levelHeight, rowParts(int64_t(1) << 30), runs);
    std::printf(
        "  now:    read %.1f, decode %.1f, scale %.1f (texture storage %.1f, made meanwhile), "
        "upload %.1f, first draw call %.1f; open to first draw call %.1f (that frame then "
        "takes %.1f to finish)\n",
        read, load - read, scale, median(storages), median(copies), median(draws), whole,
        median(finishes));
    std::printf("  before: read+decode (GDI) %.1f, gluBuild2DMipmaps %.1f, first draw call %.1f; "
                "open to first draw call %.1f\n",
                gdiLoad, glu, median(gluDraws), median(before));
    std::printf("  open to first draw call / gluBuild2DMipmaps alone: now %.2f, before %.2f\n",
                whole / glu, median(before) / glu);
    auto range = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::make_pair(v.front(), v.back());
    };
    const auto wholeRange = range(wholes), gluRange = range(gluAlone);
    std::printf("  ranges: open to first draw call %.1f-%.1f, gluBuild2DMipmaps %.1f-%.1f\n",
                wholeRange.first, wholeRange.second, gluRange.first, gluRange.second);
    freeRgbImage(image);
    return true;
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
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
        std::printf("peak working set after the cold start: %.0f MB\n",
                    double(memory.PeakWorkingSetSize) / (1 << 20));
    if (!measurePicture(snapshot)) return 1;

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

    // The note, once a key brought it and it has faded in: the first frame
    // that shows it makes its texture, every later one draws a quad more.
    escapeNoteHears(glWindow.window, WM_KEYDOWN, 'A', 0);
    Sleep(DWORD(EscapeNote::kFadeInMs));
    std::vector<double> notes;
    double firstNote = 0;
    for (int i = 0; i < 31; ++i) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        cloth.draw();
        glFinish();
        double a = nowMs();
        drawEscapeNote();
        glFinish();
        const double took = nowMs() - a;
        if (i == 0)
            firstNote = took;
        else
            notes.push_back(took);
    }
    std::printf("escape note: first showing %.3f ms (its text and texture), then %.3f ms a "
                "frame\n",
                firstNote, median(notes));
    destroyMonitorWindows();
    destroyGlWindow();
    return 0;
}
