// The platform-free cloth: particles on a grid joined by springs, the fixed
// time step that moves them, and the normals the drawing lights them with.
// The OpenGL side (textures, drawing) derives from this in the renderer.
#pragma once

#include <cstdint>
#include <memory>

#include "vec3.h"

// The model is compiled a second time without optimisation for the
// determinism test; the inline namespace keeps the two copies apart while
// the name stays plain ClothModel everywhere else.
#ifndef VELUMIRA_CLOTH_BUILD
#define VELUMIRA_CLOTH_BUILD optimised
#endif

inline namespace VELUMIRA_CLOTH_BUILD {

struct Spring {
    std::int32_t a;
    std::int32_t b;
    float stiffness; // already halved
    float restLength;
};

struct Triangle {
    std::uint16_t index[3];
};

struct TexCoord {
    float u;
    float v;
};

static_assert(sizeof(Triangle) == 6, "triangles are handed to OpenGL as packed 16-bit indices");
static_assert(sizeof(TexCoord) == 2 * sizeof(float), "texture coordinates are packed pairs");

// Which implementation step() and computeNormals() run. All of them give the
// same bits; Plain is the straightforward reference.
enum class ClothPath { Plain, Sse2, Avx2, Avx512 };
constexpr int clothPathCount = 4;

// What the measurement that picked a cloth's path saw: the median of each
// path's timed steps, and the path with the smallest.
struct ClothPathTiming {
    ClothPath path;
    double medianMicros; // one step
    int samples;
};

struct ClothPathTrial {
    int count = 0; // paths timed; 0 when no measurement was made
    ClothPathTiming timing[clothPathCount] = {};
    ClothPath chosen = ClothPath::Plain;
    double costMicros = 0.0; // the whole trial, copying the cloth included
};

struct ClothFastState;

class ClothModel {
  public:
    static constexpr int sqrtTableSize = 16000;
    static constexpr int maxParticles = 65536; // triangle indices are 16-bit

    // A cloth with fewer than 2 rows or columns, or more particles than
    // 16-bit indices reach, is built empty: valid() is false, every array is
    // null, the counters are 0, and step() and computeNormals() do nothing.
    ClothModel(int cols, int rows, float spacing, float structuralStiffness, float shearStiffness,
               float bendStiffness);
    ~ClothModel();
    ClothModel(const ClothModel&) = delete;
    ClothModel& operator=(const ClothModel&) = delete;

    bool valid() const { return positions != nullptr; }

    // One time step of 0.02 on the selected path. Unless a path was set
    // before, the first step picks it by measuring (choosePathByTrial), and
    // measures once more when the sheet has swung a while.
    void step();
    // Recomputes normals from positions on the selected path.
    void computeNormals();

    // The reference implementations, kept for the benchmarks and the
    // determinism test.
    void stepPlain();
    void computeNormalsPlain();

    // The widest path this processor runs; the constructor selects it until
    // the first step has measured which is fastest.
    static ClothPath bestPath();
    static bool pathSupported(ClothPath path);
    // Selects a path for good, with no more measuring; an unsupported one
    // (or any fast one on a cloth whose grid the fast code cannot lay out)
    // falls back to Plain. Returns the path in use.
    ClothPath setPath(ClothPath path);
    ClothPath path() const { return path_; }
    // Times every fast path this processor runs on a scratch copy of the
    // cloth, within a fixed bound, and selects the fastest. The widest
    // instruction set is not always the fastest, and every path gives the
    // same bits, so the choice is only about speed. This cloth's own state
    // is left as it was. The choice stands: the steps measure no more.
    // Returns the path in use.
    ClothPath choosePathByTrial();
    // What the last trial measured (count 0 if none has run).
    const ClothPathTrial& pathTrial() const { return trial_; }
    // A copy of the whole state with working memory of its own, on this
    // cloth's path, for measuring without touching this one. It looks up
    // this cloth's read-only spring factors, so it must not outlive it.
    std::unique_ptr<ClothModel> scratchCopy() const;

    // The x force of the breeze at a given cloth time, as the step applies it.
    static float breezeForce(float time);
    // The breeze itself (before scaling to a force).
    static float breeze(float time);

    // The spring's scalar factor for a scaled squared length q (squared
    // length times 1000): the table root where it reaches, the same formula
    // computed directly past its end, and no force for a spring shorter than
    // the table's first step.
    float springFactor(float stiffness, float restLength, double q) const;

    std::int32_t cols;
    std::int32_t rows;
    std::int32_t springCount;
    Vec3* positions;
    Vec3* velocities;
    Vec3* forces;
    Vec3* normals;
    Spring* springs;
    float time;
    double sqrtTable[sqrtTableSize];
    Triangle* triangles;
    TexCoord* texCoords;

    int particleCount() const { return cols * rows; }
    int triangleCount() const { return valid() ? (cols - 1) * (rows - 1) * 2 : 0; }

  private:
    struct Copy {};
    ClothModel(const ClothModel& from, Copy);

    void measurePath();

    ClothFastState* fast_;
    ClothPath path_;
    int trialsLeft_;   // the steps' own measurements still to come
    int stepsToTrial_; // steps before the next of them
    ClothPathTrial trial_;
};

} // namespace VELUMIRA_CLOTH_BUILD
