// The fast step and normals: the same arithmetic as the plain versions,
// regrouped so that each particle gathers its springs' forces in spring order
// and the springs are evaluated family by family with SIMD.
#pragma once

#include "cloth_model.h"

inline namespace VELUMIRA_CLOTH_BUILD {

// Null when the grid cannot be laid out for the fast code; the cloth then
// stays on the plain path.
ClothFastState* clothFastCreate(const ClothModel& cloth);
// The same layout and contents in planes of its own; the spring factors are
// shared, so the copy must not outlive `from`.
ClothFastState* clothFastCopy(const ClothFastState& from);
void clothFastDestroy(ClothFastState* state);
void clothFastStep(ClothModel& cloth, ClothFastState& state, ClothPath path);
void clothFastNormals(ClothModel& cloth, ClothFastState& state, ClothPath path);
bool clothFastHasAvx2();
bool clothFastHasAvx512();

} // namespace VELUMIRA_CLOTH_BUILD
