#include "cloth/cloth.h"

#include <windows.h>
#include <GL/gl.h>

static void APIENTRY drawElementsGl(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    glDrawElements(mode, count, type, indices);
}

ClothDrawElements clothDrawElements = drawElementsGl;

void Cloth::draw() {
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat none[] = {0.0f, 0.0f, 0.0f, 0.0f};

    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);

    // Directional, from the right and above the sheet's top edge; given under
    // the cloth's placement so it turns with it.
    const GLfloat position[] = {100.0f, float(rows) * springs[0].restLength, 0.0f, 0.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT1, GL_AMBIENT, none);
    glLightfv(GL_LIGHT1, GL_SPECULAR, white);
    glLightfv(GL_LIGHT1, GL_POSITION, position);

    computeNormals();

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, picture.textureName());
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, normals);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords);

    const GLsizei indexCount = (cols - 1) * (rows - 1) * 2 * 3;
    clothDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, triangles);

    // Sheen: the lit grey sheet added at half strength over the picture.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthFunc(GL_LEQUAL);
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    clothDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, triangles);

    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}
