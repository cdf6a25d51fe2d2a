// An OpenGL texture made from a bitmap file or from decoded pixels, with its
// own copy of the pixels.
#pragma once

#include "texture/texture_level.h"

class Texture {
  public:
    Texture() = default;
    ~Texture() { release(); }
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Loads the bitmap at `path` (system code page) into a new texture object;
    // false, with a message already shown, when the file cannot be used.
    // Defined by the renderer, the one program that reads bitmap files.
    bool loadBitmap(const char* path);
    // The same from a picture already decoded: width * height packed RGB
    // pixels, bottom row first, copied into the texture's own pixel copy.
    // False, showing nothing, for a picture larger than the bitmap loader
    // takes (or none at all) and when memory runs out.
    bool loadPixels(const unsigned char* rgb, int width, int height);
    // Both of the above in two halves, so that a loader can have the texture
    // begun while it still decodes the picture. beginPicture makes a new
    // texture object for a picture of that size, bound, with its storage;
    // takePicture makes `rgb` (width * height * 3 bytes of RGB, bottom row
    // first, from std::malloc) the texture's pixel copy and fills the texture
    // from it, beginning it first unless beginPicture was last called with
    // the same size.
    // Texturing must be enabled for both.
    void beginPicture(int width, int height);
    void takePicture(unsigned char* rgb, int width, int height);
    unsigned int textureName() const { return name; }
    // Deletes the texture object and the pixel copy.
    void release();

    int width = 1;
    int height = 1;
    unsigned int name = 0;           // GLuint
    unsigned char* pixels = nullptr; // width * height * 3 bytes of RGB
    unsigned int pixelFormat = 0;    // GLenum, GL_RGB once loaded

    // Level 0 as it is being made.
    struct Level {
        TextureSize size;
        TexelLayout layout;
        unsigned int format; // GLenum
        bool stored;         // its storage made
    };

  private:
    Level level_ = {};
    // The picture size beginPicture made level_ for; 0 once taken.
    int begunWidth_ = 0;
    int begunHeight_ = 0;
};
