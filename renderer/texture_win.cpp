#include "renderer/texture.h"
#include "renderer/dib_loader.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

bool Texture::loadBitmap(const char* path) {
    glEnable(GL_TEXTURE_2D);
    RgbImage* image = loadDibImage(path);
    if (!image) return false;
    // The image's pixel block becomes the texture's own copy: the same bytes,
    // without copying six megabytes of a desktop snapshot at start-up.
    std::free(pixels);
    width = image->width;
    height = image->height;
    pixels = image->data;
    pixelFormat = GL_RGB;
    std::free(image);

    GLuint id = 0;
    glGenTextures(1, &id);
    name = id;
    glBindTexture(GL_TEXTURE_2D, name);
    // The pixel copy has packed rows; the default alignment of 4 would skew
    // every picture whose width is not a multiple of 4.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
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
