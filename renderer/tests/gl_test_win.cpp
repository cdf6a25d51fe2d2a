// The renderer's OpenGL side in a real WGL context under Wine: projection,
// fixed state and lights, the picture texture, and what the cloth's drawing
// hands to OpenGL and leaves behind, and the note drawn over it.
#include "cloth/cloth.h"
#include "renderer/dib_loader.h"
#include "renderer/escape_note.h"
#include "renderer/escape_note_win.h"
#include "scene/gl_scene.h"
#include "texture/tests/bmp_bytes.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace bmptest;

namespace {

// A small hidden window with a current rendering context.
class GlContext : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelumiraGlTest";
        RegisterClassA(&wc);
        window = CreateWindowA("VelumiraGlTest", "gl test", WS_POPUP, 0, 0, 64, 64, nullptr,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        dc = GetDC(window);
        PIXELFORMATDESCRIPTOR pfd = {};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 32;
        pfd.cDepthBits = 16;
        int format = ChoosePixelFormat(dc, &pfd);
        ASSERT_NE(format, 0);
        ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
        rc = wglCreateContext(dc);
        ASSERT_NE(rc, nullptr);
        ASSERT_TRUE(wglMakeCurrent(dc, rc));
        messages.clear();
        previousReporter = setErrorReporter(record);
    }
    void TearDown() override {
        setErrorReporter(previousReporter);
        wglMakeCurrent(nullptr, nullptr);
        if (rc) wglDeleteContext(rc);
        if (dc) ReleaseDC(window, dc);
        if (window) DestroyWindow(window);
    }

    static void record(const char* text) { messages.push_back(text); }
    static std::vector<std::string> messages;

    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC rc = nullptr;
    ErrorReporter previousReporter = nullptr;
};
std::vector<std::string> GlContext::messages;

std::string writeTemp(const Bytes& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "velumira_gl_test.bmp";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return path;
}

std::vector<GLdouble> matrix(GLenum which) {
    std::vector<GLdouble> m(16);
    glGetDoublev(which, m.data());
    return m;
}

using Scene = GlContext;

TEST_F(Scene, ZeroHeightGivesOnePixelRowAndWidthAsAspect) {
    resizeScene(800, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 1);
    std::vector<GLdouble> p = matrix(GL_PROJECTION_MATRIX);
    // gluPerspective puts f / aspect at [0] and f at [5].
    EXPECT_TRUE(std::isfinite(p[0]) && std::isfinite(p[5]));
    EXPECT_NEAR(p[5] / p[0], 800.0, 800.0 * 1e-6); // stored as floats

    resizeScene(1024, 768);
    p = matrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(p[5] / p[0], 1024.0 / 768.0, 1e-6);
    EXPECT_NEAR(p[5], 1.0 / std::tan(22.5 * 3.14159265358979323846 / 180), 1e-6);
    // Near 0.1f widened, far 100: [10] = (far + near) / (near - far).
    const double n = double(0.1f), f = 100.0;
    EXPECT_NEAR(p[10], (f + n) / (n - f), 1e-6);
    EXPECT_NEAR(p[14], 2 * f * n / (n - f), 1e-6);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    std::vector<GLdouble> mv = matrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(mv[i], i % 5 == 0 ? 1.0 : 0.0);
}

TEST_F(Scene, FixedStateAndTwoLightsAboveTheEye) {
    EXPECT_TRUE(initGlState());
    GLint v;
    glGetIntegerv(GL_SHADE_MODEL, &v);
    EXPECT_EQ(v, GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_DEPTH_FUNC, &v);
    EXPECT_EQ(v, GL_LEQUAL);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[3], 1.0f);
    EXPECT_EQ(clear[0] + clear[1] + clear[2], 0.0f);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setupLights();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2}) {
        EXPECT_TRUE(glIsEnabled(light));
        GLfloat c[4], pos[4];
        glGetLightfv(light, GL_AMBIENT, c);
        EXPECT_EQ(c[0], 0.3f);
        EXPECT_EQ(c[3], 1.0f);
        glGetLightfv(light, GL_DIFFUSE, c);
        EXPECT_EQ(c[2], 0.3f);
        glGetLightfv(light, GL_POSITION, pos);
        EXPECT_EQ(pos[0], 0.0f);
        EXPECT_EQ(pos[1], 10.0f);
        EXPECT_EQ(pos[3], 1.0f);
    }
}

using PictureTexture = GlContext;

TEST_F(PictureTexture, MissingPictureLeavesTheTextureEmpty) {
    Texture t;
    EXPECT_FALSE(t.loadBitmap("C:\\r_quil\\no_such_picture.bmp"));
    // Decoded pixels of no size, or more than a bitmap may have, likewise.
    const unsigned char pixel[3] = {1, 2, 3};
    EXPECT_FALSE(t.loadPixels(pixel, 0, 1));
    EXPECT_FALSE(t.loadPixels(pixel, 1, -1));
    EXPECT_FALSE(t.loadPixels(pixel, 16385, 1));
    EXPECT_EQ(t.textureName(), 0u);
    EXPECT_EQ(t.width, 1);
    EXPECT_EQ(t.height, 1);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(PictureTexture, OddWidthRowsReachTheTextureUnskewed) {
    // Bottom row red, the rest blue; 1366 is not a multiple of 4 wide, so rows
    // read with padding would start two bytes off and turn blue into red.
    const int w = 1366, h = 4;
    std::vector<Rgb> picture(size_t(w) * h, Rgb{0, 0, 255});
    for (int x = 0; x < w; ++x)
        picture[x] = Rgb{255, 0, 0};
    BmpSpec s;
    s.width = w;
    s.height = h;
    s.pixels = rows24(picture, w, h);
    Texture t;
    ASSERT_TRUE(t.loadBitmap(writeTemp(buildBmp(s)).c_str()));
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(t.textureName(), 0u);
    EXPECT_EQ(t.width, w);
    EXPECT_EQ(t.height, h);
    EXPECT_EQ(t.pixelFormat, unsigned(GL_RGB));
    EXPECT_EQ(t.pixels[3 * w + 2], 255); // pixel copy: second row blue

    glBindTexture(GL_TEXTURE_2D, t.textureName());
    GLint tw = 0, th = 0, minFilter = 0, magFilter = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    EXPECT_EQ(tw, 1024); // rescaled to a power of two
    EXPECT_EQ(th, 4);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Wine's GLU leaves the rescaled top row black (the cloth's texture
    // coordinates stop short of it); the rows below must be intact.
    std::vector<unsigned char> level0(size_t(tw) * th * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, level0.data());
    for (int x = 0; x < tw - 1; x += 97) {
        const unsigned char* bottom = &level0[3 * x];
        const unsigned char* second = &level0[3 * (tw + x)];
        EXPECT_TRUE(bottom[0] >= 254 && bottom[2] <= 1) << x;
        EXPECT_TRUE(second[0] <= 1 && second[2] >= 254) << x;
    }
}

// Records each triangle submission together with the state it was made in.
struct Submission {
    GLenum mode, type;
    GLsizei count;
    const void* indices;
    bool textured, blended;
    GLfloat colour[4];
};
std::vector<Submission> submissions;
void APIENTRY recordDraw(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    Submission s{
        mode, type, count, indices, bool(glIsEnabled(GL_TEXTURE_2D)), bool(glIsEnabled(GL_BLEND)),
        {}};
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    submissions.push_back(s);
    glDrawElements(mode, count, type, indices);
}

using ClothDrawing = GlContext;

TEST_F(ClothDrawing, TwoPassesOfTheWholeSheetAndTheStateLeftBehind) {
    auto cloth = std::make_unique<Cloth>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    submissions.clear();
    ClothDrawElements previous = clothDrawElements;
    clothDrawElements = recordDraw;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    cloth->draw();
    clothDrawElements = previous;

    ASSERT_EQ(submissions.size(), 2u);
    for (const Submission& s : submissions) {
        EXPECT_EQ(s.mode, GLenum(GL_TRIANGLES));
        EXPECT_EQ(s.type, GLenum(GL_UNSIGNED_SHORT));
        EXPECT_EQ(s.count, 13806);
        EXPECT_EQ(s.indices, static_cast<const void*>(cloth->triangles));
    }
    EXPECT_TRUE(submissions[0].textured);
    EXPECT_FALSE(submissions[0].blended);
    EXPECT_EQ(submissions[0].colour[0], 1.0f);
    EXPECT_EQ(submissions[0].colour[3], 1.0f);
    EXPECT_FALSE(submissions[1].textured);
    EXPECT_TRUE(submissions[1].blended);
    EXPECT_EQ(submissions[1].colour[0], 0.5f);
    EXPECT_EQ(submissions[1].colour[3], 0.5f);

    // The flat sheet faces the viewer everywhere.
    for (int i = 0; i < 60 * 40; ++i) {
        ASSERT_EQ(cloth->normals[i].x, 0.0f) << i;
        ASSERT_EQ(cloth->normals[i].y, 0.0f) << i;
        ASSERT_EQ(cloth->normals[i].z, 1.0f) << i;
    }

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint v;
    glGetIntegerv(GL_BLEND_SRC, &v);
    EXPECT_EQ(v, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &v);
    EXPECT_EQ(v, GL_ONE);
    glGetIntegerv(GL_DEPTH_FUNC, &v);
    EXPECT_EQ(v, GL_LEQUAL);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &v);
    EXPECT_EQ(v, GL_AMBIENT_AND_DIFFUSE);
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, &v);
    EXPECT_EQ(v, GL_FRONT_AND_BACK);

    GLfloat c[4];
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, c);
    EXPECT_EQ(c[0], 1.0f);
    glGetLightfv(GL_LIGHT1, GL_AMBIENT, c);
    EXPECT_EQ(c[0] + c[1] + c[2] + c[3], 0.0f);
    glGetLightfv(GL_LIGHT1, GL_SPECULAR, c);
    EXPECT_EQ(c[1], 1.0f);
    glGetLightfv(GL_LIGHT1, GL_POSITION, c);
    EXPECT_EQ(c[0], 100.0f);
    EXPECT_EQ(c[1], 40.0f); // rows times the first spring's rest length
    EXPECT_EQ(c[3], 0.0f);
}

TEST_F(ClothDrawing, LightFollowsTheClothsPlacement) {
    auto cloth = std::make_unique<Cloth>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(90.0, 0.0, 0.0, 1.0); // turns x into y
    cloth->draw();
    GLfloat p[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, p);
    EXPECT_NEAR(p[0], -40.0f, 1e-4);
    EXPECT_NEAR(p[1], 100.0f, 1e-4);
}

} // namespace

namespace {

// Level 0 of a texture as it reads back, with its size.
std::vector<unsigned char> levelZero(GLuint name, GLint& width, GLint& height) {
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> bytes(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

std::vector<unsigned char> noise(int width, int height, uint32_t seed) {
    std::vector<unsigned char> p(size_t(width) * height * 3);
    for (unsigned char& c : p) {
        seed = seed * 1664525u + 1013904223u;
        c = (unsigned char)(seed >> 24);
    }
    for (size_t i = 0; i < p.size() / 5; ++i)
        p[i] = 255; // saturated rows, whose sums land next to whole numbers
    return p;
}

// Whatever the texture does to get there quickly, its level 0 holds exactly
// the texels gluBuild2DMipmaps makes of the same pixels: on the usual
// screens, on the box filter's edge cases (one pixel, odd sizes, one
// column, one side already a power of two, no scaling at all), on sizes
// whose sums round (where GLU's 32- and 64-bit builds differ) and through
// the file loader.
TEST_F(PictureTexture, LevelZeroIsGlusOwn) {
    const int sizes[][2] = {{1366, 768}, {1920, 1080}, {2560, 1440}, {3840, 2160},
                            {1, 1},      {3, 5},       {1, 7},       {1024, 600},
                            {600, 512},  {256, 64},    {517, 515},   {999, 999}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        const std::vector<unsigned char> picture = noise(w, h, uint32_t(w * 31 + h));
        Texture texture;
        ASSERT_TRUE(texture.loadPixels(picture.data(), w, h));
        EXPECT_TRUE(std::equal(picture.begin(), picture.end(), texture.pixels));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

        GLuint glu;
        glGenTextures(1, &glu);
        glBindTexture(GL_TEXTURE_2D, glu);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, w, h, GL_RGB, GL_UNSIGNED_BYTE, picture.data());
        GLint gluFormat = 0, ownFormat = 0, gw, gh, ow, oh;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &gluFormat);
        const std::vector<unsigned char> fromGlu = levelZero(glu, gw, gh);
        glDeleteTextures(1, &glu);

        const std::vector<unsigned char> own = levelZero(texture.textureName(), ow, oh);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &ownFormat);
        EXPECT_EQ(ow, gw);
        EXPECT_EQ(oh, gh);
        EXPECT_EQ(ownFormat, gluFormat);
        ASSERT_EQ(own.size(), fromGlu.size());
        size_t differing = 0;
        for (size_t i = 0; i < own.size(); ++i)
            differing += own[i] != fromGlu[i];
        EXPECT_EQ(differing, 0u) << "of " << own.size() << " bytes";
        // Level 0 alone, linear both ways.
        GLint levelOne = -1, minFilter = 0, magFilter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOne);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ(levelOne, 0);
        EXPECT_EQ(minFilter, GL_LINEAR);
        EXPECT_EQ(magFilter, GL_LINEAR);
    }

    // A snapshot file: the rows the loader read, then the same texels.
    const int w = 1366, h = 20;
    const std::vector<unsigned char> packed = noise(w, h, 5);
    std::vector<Rgb> picture;
    for (size_t i = 0; i < packed.size(); i += 3)
        picture.push_back({packed[i], packed[i + 1], packed[i + 2]});
    BmpSpec s;
    s.width = w;
    s.height = h;
    s.pixels = rows24(picture, w, h);
    Texture loaded, direct;
    ASSERT_TRUE(loaded.loadBitmap(writeTemp(buildBmp(s)).c_str()));
    ASSERT_TRUE(direct.loadPixels(packed.data(), w, h));
    EXPECT_TRUE(std::equal(packed.begin(), packed.end(), loaded.pixels));
    GLint lw, lh, dw, dh;
    EXPECT_TRUE(levelZero(loaded.textureName(), lw, lh) == levelZero(direct.textureName(), dw, dh));
}

using EscapeNoteDrawing = GlContext;

// The note is drawn over the frame only after input other than Escape, and
// gives back every state it takes: the next frame of the cloth is the same to
// the pixel as one the note never touched.
TEST_F(EscapeNoteDrawing, OnlyAfterInputAndTheNextFrameAsIfItHadNeverBeen) {
    resizeScene(64, 64);
    initGlState();
    setupLights();
    auto cloth = std::make_unique<Cloth>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    auto pixels = [] {
        std::vector<unsigned char> p(64 * 64 * 4);
        glFinish();
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    };
    auto state = [] {
        std::vector<GLdouble> s = matrix(GL_PROJECTION_MATRIX);
        for (GLdouble v : matrix(GL_MODELVIEW_MATRIX))
            s.push_back(v);
        for (GLenum e :
             {GL_MATRIX_MODE, GL_BLEND_SRC, GL_BLEND_DST, GL_TEXTURE_BINDING_2D, GL_DEPTH_FUNC}) {
            GLint v = 0;
            glGetIntegerv(e, &v);
            s.push_back(v);
        }
        for (GLenum e : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_BLEND})
            s.push_back(glIsEnabled(e));
        GLint env = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        s.push_back(env);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        s.insert(s.end(), colour, colour + 4);
        return s;
    };

    drawScene(*cloth, 0);
    const std::vector<unsigned char> plain = pixels();
    escapeNoteHears(window, WM_KEYDOWN, VK_ESCAPE, 0);
    drawScene(*cloth, 0);
    drawEscapeNote();
    EXPECT_EQ(pixels(), plain) << "Escape brings no note";

    escapeNoteHears(window, WM_KEYDOWN, 'A', 0);
    Sleep(DWORD(EscapeNote::kFadeInMs) + 50);
    drawScene(*cloth, 0);
    const std::vector<GLdouble> before = state();
    drawEscapeNote();
    EXPECT_EQ(state(), before);
    EXPECT_NE(pixels(), plain) << "a key brings the note";
    drawScene(*cloth, 0);
    EXPECT_EQ(pixels(), plain);
}

} // namespace
