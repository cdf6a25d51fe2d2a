// The cloth as the renderer shows it: the simulated sheet plus the picture it
// carries and the OpenGL drawing of both.
#pragma once

#include "cloth/cloth_model.h"
#include "texture/texture.h"

class Cloth : public ClothModel {
  public:
    Cloth(int cols, int rows, float spacing, float structuralStiffness, float shearStiffness,
          float bendStiffness)
        : ClothModel(cols, rows, spacing, structuralStiffness, shearStiffness, bendStiffness) {}

    // Loads the desktop snapshot into `picture`; on failure the sheet is drawn
    // without it. Defined by the renderer, which alone reads the snapshot.
    bool loadPicture();
    // Draws the sheet lit and textured, then once more blended as a sheen.
    // Needs a current rendering context; recomputes the normals.
    void draw();

    Texture picture;
    Texture secondTexture;
};

// The call that hands the triangle list to OpenGL; tests may replace it to
// watch what is drawn. Same signature as glDrawElements.
#ifdef _WIN32
using ClothDrawElements = void(__stdcall*)(unsigned int mode, int count, unsigned int type,
                                           const void* indices);
extern ClothDrawElements clothDrawElements;
#endif
