#include "cloth_fast.h"

inline namespace VELUMIRA_CLOTH_BUILD {

struct ClothFastState {};

ClothFastState* clothFastCreate(const ClothModel&) {
    return nullptr;
}
void clothFastDestroy(ClothFastState* state) {
    delete state;
}
void clothFastStep(ClothModel& cloth, ClothFastState&, ClothPath) {
    cloth.stepPlain();
}
void clothFastNormals(ClothModel& cloth, ClothFastState&, ClothPath) {
    cloth.computeNormalsPlain();
}
bool clothFastHasAvx2() {
    return false;
}

} // namespace VELUMIRA_CLOTH_BUILD
