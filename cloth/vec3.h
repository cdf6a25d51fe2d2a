// Three packed floats: every per-particle array of the cloth is a flat array
// of these, handed to OpenGL as it is.
#pragma once

#include <cmath>

struct Vec3 {
    float x;
    float y;
    float z;
};

static_assert(sizeof(Vec3) == 3 * sizeof(float), "Vec3 must be three packed floats");

// The square root the cloth builds its table and normalises its normals with:
// the float is widened first, the root stays double, and each caller rounds it
// to its own precision.
inline double floatSqrt(float value) {
    return std::sqrt(static_cast<double>(value));
}
