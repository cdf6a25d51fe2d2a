// The cloth's state after a number of steps, computed by the model compiled
// without optimisation.
#pragma once

#include <vector>

struct ClothSnapshot {
    std::vector<float> positions;
    std::vector<float> velocities;
    std::vector<float> forces;
    std::vector<float> normals;
    float time = 0.0f;
};

// Steps the 60 x 40 cloth on the plain path, then computes its normals.
ClothSnapshot unoptimisedClothState(int cols, int rows, int steps);
