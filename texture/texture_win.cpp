#include "texture/texture.h"
#include "texture/dib_layout.h"
#include "texture/row_split.h"
#include "texture/texture_level.h"

#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The implementation's answers to GLU's size choice, asked exactly as GLU asks
// them: a proxy of level 1 in the texture's own formats.
class GlLimits : public TextureLimits {
  public:
    bool hasProxies() override {
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        return version && std::strtod(version, nullptr) >= 1.1;
    }
    bool fitsAtLevelOne(int width, int height) override {
        glTexImage2D(GL_PROXY_TEXTURE_2D, 1, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     nullptr);
        GLint proxyWidth = 0;
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &proxyWidth);
        return proxyWidth != 0;
    }
    int maxTextureSize() override {
        GLint size = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
        return size;
    }
};

bool hasExtension(const char* extensions, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* p = extensions; p && (p = std::strstr(p, name)) != nullptr; p += length)
        if ((p == extensions || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
            return true;
    return false;
}

// Blue-green-red-alpha texels are what drivers keep, so they take them without
// converting; OpenGL 1.2 made them core, GL_EXT_bgra offers them before.
bool takesBgra() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (version && std::sscanf(version, "%d.%d", &major, &minor) == 2 &&
        (major > 1 || (major == 1 && minor >= 2)))
        return true;
    return hasExtension(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), "GL_EXT_bgra");
}

using Level = Texture::Level;

// A new texture object for `texture`, bound, with its level 0 planned.
Level beginTextureObject(Texture& texture, int width, int height) {
    GLuint id = 0;
    glGenTextures(1, &id);
    texture.name = id;
    glBindTexture(GL_TEXTURE_2D, id);
    // Rows of one or two RGB texels are not multiples of 4 bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Only level 0: minification is linear, so it never reads another level.
    GlLimits limits;
    const TexelLayout layout = takesBgra() ? TexelLayout::Bgra : TexelLayout::Rgb;
    return {chooseTextureSize(width, height, limits), layout,
            GLenum(layout == TexelLayout::Bgra ? GL_BGRA_EXT : GL_RGB), false};
}

// The driver makes (and clears) the level's storage: most of its time goes on
// fresh memory, so it runs while other threads work on the picture.
void makeStorage(Level& level) {
    glTexImage2D(GL_TEXTURE_2D, 0, 3, level.size.width, level.size.height, 0, level.format,
                 GL_UNSIGNED_BYTE, nullptr);
    level.stored = true;
}

// Scales the pixel copy into the level, each band of rows copied in once
// made, and sets the filters.
void fillLevel(const Texture& texture, Level& level) {
    scaleToTexture(
        texture.pixels, texture.width, texture.height, level.size, level.layout, kGluArithmetic,
        rowParts(int64_t(level.size.width) * level.size.height),
        [&] {
            if (!level.stored) makeStorage(level);
        },
        [&](int first, int end, const unsigned char* texels) {
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, level.size.width, end - first, level.format,
                            GL_UNSIGNED_BYTE, texels);
        });
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

} // namespace

void Texture::beginPicture(int pictureWidth, int pictureHeight) {
    level_ = beginTextureObject(*this, pictureWidth, pictureHeight);
    begunWidth_ = pictureWidth;
    begunHeight_ = pictureHeight;
    makeStorage(level_);
}

void Texture::takePicture(unsigned char* rgb, int pictureWidth, int pictureHeight) {
    std::free(pixels);
    width = pictureWidth;
    height = pictureHeight;
    pixels = rgb;
    pixelFormat = GL_RGB;
    if (width != begunWidth_ || height != begunHeight_)
        level_ = beginTextureObject(*this, width, height);
    begunWidth_ = begunHeight_ = 0;
    fillLevel(*this, level_);
}

bool Texture::loadPixels(const unsigned char* rgb, int pictureWidth, int pictureHeight) {
    glEnable(GL_TEXTURE_2D);
    // No larger than the bitmap loader takes.
    const bool fits = pictureWidth > 0 && pictureHeight > 0 && pictureWidth <= kDibMaxSide &&
                      pictureHeight <= kDibMaxSide &&
                      int64_t(pictureWidth) * pictureHeight <= kDibMaxPixels;
    const size_t bytes = fits ? size_t(pictureWidth) * size_t(pictureHeight) * 3 : 0;
    auto* copy = fits ? static_cast<unsigned char*>(std::malloc(bytes)) : nullptr;
    if (!copy) {
        glDisable(GL_TEXTURE_2D);
        return false;
    }
    std::memcpy(copy, rgb, bytes);
    takePicture(copy, pictureWidth, pictureHeight);
    glDisable(GL_TEXTURE_2D);
    return true;
}

void Texture::release() {
    GLuint id = name;
    glDeleteTextures(1, &id);
    name = 0;
    std::free(pixels);
    pixels = nullptr;
}
