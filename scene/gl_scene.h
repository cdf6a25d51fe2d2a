// The cloth scene: the sheet every window shows, the projection, fixed
// rendering state and lights it is seen in, and one frame of it. All but the
// constants need a current rendering context.
#pragma once

class Cloth;

// Every window's sheet: 60 by 40 particles a unit apart, and its springs.
constexpr int kClothCols = 60, kClothRows = 40;
constexpr float kClothSpacing = 1.0f, kStructural = 350.0f, kShear = 350.0f, kBend = 200.0f;

// Viewport and perspective for a client area of this size; a height of 0 is
// taken as 1. Leaves the identity model-view matrix selected.
void resizeScene(int width, int height);
bool initGlState();
// Lights 1 and 2, fixed in eye coordinates: call while the model-view matrix
// is the identity.
void setupLights();
// Steps the sheet `steps` times and draws it, in its place before the eye,
// into the current context's back buffer.
void drawScene(Cloth& sheet, int steps);
