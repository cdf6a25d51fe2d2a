// The fast paths' working memory: the grid padded with two rows and columns
// of slack, positions as separate x/y/z planes, each spring family's forces
// in its own planes, and the spring factor per table entry.
//
// Padded index of particle (r, c): base + r * stride + c. A family's force
// plane holds at the index of a spring's anchor particle the force that the
// spring adds to its second particle (and takes from its first). Slots of
// springs that do not exist hold the zero that leaves a sum unchanged in the
// direction it is used: -0 where a particle adds it, +0 where it subtracts it.
#pragma once

#include "cloth_model.h"

inline namespace VELUMIRA_CLOTH_BUILD {

enum ClothFamily { familyH, familyV, familyS1, familyS2, familyBH, familyBV, familyCount };
enum ClothKind { kindStructural, kindShear, kindBend, kindCount };

struct ClothFamilyLayout {
    int first;  // padded offset of the spring's first particle from its anchor
    int second; // ... and of its second particle
    int rows;   // anchors per column
    int cols;   // anchors per row
    ClothKind kind;
};

struct ClothFastState {
    int cols;
    int rows;
    int stride;
    int base;
    int size;      // floats per plane
    float* memory; // the planes
    float* tables; // the factors' memory; null where they are another state's
    float* position[3];
    float* family[familyCount][3];
    float* face[2][3]; // the two triangles of each cell, anchored like springs
    ClothFamilyLayout layout[familyCount];
    float* factor[kindCount]; // springFactor per sqrtTable entry
    float stiffness[kindCount];
    float restLength[kindCount];
};

// The kernels, one set per instruction set.
void clothStepSse2(ClothModel& cloth, ClothFastState& state);
void clothNormalsSse2(ClothModel& cloth, ClothFastState& state);
void clothStepAvx2(ClothModel& cloth, ClothFastState& state);
void clothNormalsAvx2(ClothModel& cloth, ClothFastState& state);
void clothStepAvx512(ClothModel& cloth, ClothFastState& state);
void clothNormalsAvx512(ClothModel& cloth, ClothFastState& state);

} // namespace VELUMIRA_CLOTH_BUILD
