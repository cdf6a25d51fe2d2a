#include "cloth_reference.h"

#include <memory>

#include "cloth_model.h"

ClothSnapshot unoptimisedClothState(int cols, int rows, int steps) {
    auto cloth = std::make_unique<ClothModel>(cols, rows, 1.0f, 350.0f, 350.0f, 200.0f);
    cloth->setPath(ClothPath::Plain);
    for (int i = 0; i < steps; ++i)
        cloth->step();
    cloth->computeNormals();
    ClothSnapshot out;
    const int floats = 3 * cloth->particleCount();
    auto copy = [floats](const Vec3* v) {
        const float* f = &v->x;
        return std::vector<float>(f, f + floats);
    };
    out.positions = copy(cloth->positions);
    out.velocities = copy(cloth->velocities);
    out.forces = copy(cloth->forces);
    out.normals = copy(cloth->normals);
    out.time = cloth->time;
    return out;
}
