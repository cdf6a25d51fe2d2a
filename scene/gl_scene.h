// Projection, fixed rendering state and lights of the cloth scene. All need a
// current rendering context.
#pragma once

// Viewport and perspective for a client area of this size; a height of 0 is
// taken as 1. Leaves the identity model-view matrix selected.
void resizeScene(int width, int height);
bool initGlState();
// Lights 1 and 2, fixed in eye coordinates: call while the model-view matrix
// is the identity.
void setupLights();
