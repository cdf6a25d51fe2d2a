// An OpenGL texture made from a bitmap file or from decoded pixels, with its
// own copy of the pixels.
#pragma once

class Texture {
  public:
    Texture() = default;
    ~Texture() { release(); }
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Loads the bitmap at `path` (system code page) into a new texture object;
    // false, with a message already shown, when the file cannot be used.
    bool loadBitmap(const char* path);
    // The same from a picture already decoded: width * height packed RGB
    // pixels, bottom row first, copied into the texture's own pixel copy.
    // False, showing nothing, for a picture larger than the bitmap loader
    // takes (or none at all) and when memory runs out.
    bool loadPixels(const unsigned char* rgb, int width, int height);
    unsigned int textureName() const { return name; }
    // Deletes the texture object and the pixel copy.
    void release();

    int width = 1;
    int height = 1;
    unsigned int name = 0;           // GLuint
    unsigned char* pixels = nullptr; // width * height * 3 bytes of RGB
    unsigned int pixelFormat = 0;    // GLenum, GL_RGB once loaded
};
