#include "scene/gl_scene.h"
#include "cloth/cloth.h"

#include <windows.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <initializer_list>

void resizeScene(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(width) / double(height), double(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool initGlState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void setupLights() {
    static const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1.0f};
    static const GLfloat diffuse[] = {0.3f, 0.3f, 0.3f, 1.0f};
    static const GLfloat position[] = {0.0f, 10.0f, 0.0f, 1.0f};
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2}) {
        glLightfv(light, GL_AMBIENT, ambient);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_POSITION, position);
        glEnable(light);
    }
}

void drawScene(Cloth& sheet, int steps) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glPushMatrix();
    glTranslated(0.0, 1.0, -38.0);
    glScaled(0.75, 0.75, 0.75);
    for (int i = 0; i < steps; ++i)
        sheet.step();
    sheet.draw();
    glPopMatrix();
    glFlush();
}
