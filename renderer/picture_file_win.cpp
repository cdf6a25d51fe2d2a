// The picture files the renderer shows: any bitmap file as a texture, the
// desktop snapshot on the cloth.
#include "renderer/dib_loader.h"
#include "cloth/cloth.h"
#include "monitors/monitor_plan.h"

#include <windows.h>
#include <GL/gl.h>

#include <cstdlib>

bool Texture::loadBitmap(const char* path) {
    glEnable(GL_TEXTURE_2D);
    // Where the file's rows are read directly, the texture object and its
    // storage are made meanwhile.
    RgbImage* image = loadDibImage(path, [&](int32_t pictureWidth, int32_t pictureHeight) {
        beginPicture(pictureWidth, pictureHeight);
    });
    if (!image) return false;
    // The image's pixel block becomes the texture's own copy: the same bytes,
    // without copying six megabytes of a desktop snapshot at start-up.
    takePicture(image->data, image->width, image->height);
    std::free(image);
    glDisable(GL_TEXTURE_2D);
    return true;
}

bool Cloth::loadPicture() {
    return picture.loadBitmap(velumira::kSnapshotPath);
}
