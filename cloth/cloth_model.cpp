#include "cloth_model.h"

#include <algorithm>
#include <cmath>

#include "cloth_fast.h"
#include "cloth_path_trial.h"

inline namespace VELUMIRA_CLOTH_BUILD {

namespace {

bool dimensionsSupported(int cols, int rows) {
    return cols >= 2 && rows >= 2 &&
           static_cast<long long>(cols) * rows <= ClothModel::maxParticles;
}

template <class T> T* copy(const T* source, int count) {
    T* out = new T[count];
    std::copy(source, source + count, out);
    return out;
}

} // namespace

ClothModel::ClothModel(int cols_, int rows_, float spacing, float structuralStiffness,
                       float shearStiffness, float bendStiffness)
    : cols(0), rows(0), springCount(0), positions(nullptr), velocities(nullptr), forces(nullptr),
      normals(nullptr), springs(nullptr), time(0.0f), triangles(nullptr), texCoords(nullptr),
      fast_(nullptr), path_(ClothPath::Plain), trialsLeft_(0), stepsToTrial_(0) {
    const float structuralK = structuralStiffness / 2;
    const float shearK = shearStiffness / 2;
    const float bendK = bendStiffness / 2;

    for (int n = 0; n < sqrtTableSize; ++n)
        sqrtTable[n] = floatSqrt(static_cast<float>(n / 1000.0));

    // Anything the 16-bit triangle indices or the spring layout cannot hold
    // stays an empty cloth rather than a half-built one.
    if (!dimensionsSupported(cols_, rows_)) return;

    cols = cols_;
    rows = rows_;
    time = 0.0f;
    springCount = (cols - 1) * rows + (rows - 1) * cols + (cols - 2) * rows + (rows - 2) * cols +
                  2 * (cols - 1) * (rows - 1);

    const int count = cols * rows;
    positions = new Vec3[count];
    normals = new Vec3[count];
    forces = new Vec3[count];
    velocities = new Vec3[count];
    springs = new Spring[springCount];
    triangles = new Triangle[(cols - 1) * (rows - 1) * 2];
    texCoords = new TexCoord[count];

    Triangle* tri = triangles;
    for (int r = 0; r < rows - 1; ++r) {
        for (int c = 0; c < cols - 1; ++c) {
            const int i = r * cols + c;
            *tri++ = {{static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i + 1),
                       static_cast<std::uint16_t>(i + cols)}};
            *tri++ = {{static_cast<std::uint16_t>(i + cols), static_cast<std::uint16_t>(i + 1),
                       static_cast<std::uint16_t>(i + cols + 1)}};
        }
    }

    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            texCoords[i] = {static_cast<float>(c) / static_cast<float>(cols),
                            static_cast<float>(r) / static_cast<float>(rows)};
        }
    }

    const double halfCols = cols / 2.0;
    const double halfRows = rows / 2.0;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            positions[i] = {static_cast<float>(spacing * (c - halfCols)),
                            static_cast<float>(spacing * (r - halfRows)), 0.0f};
            normals[i] = {0.0f, 0.0f, 1.0f};
            velocities[i] = {0.0f, 0.0f, 0.0f};
            forces[i] = {0.0f, 0.0f, 0.0f};
        }
    }

    const float shearRest = static_cast<float>(floatSqrt(2 * spacing * spacing));
    const float bendRest = 2 * spacing;
    Spring* s = springs;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols - 1; ++c) {
            const int i = r * cols + c;
            *s++ = {i, i + 1, structuralK, spacing};
        }
    for (int r = 0; r < rows - 1; ++r)
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            *s++ = {i, i + cols, structuralK, spacing};
        }
    for (int r = 0; r < rows - 1; ++r)
        for (int c = 0; c < cols - 1; ++c) {
            const int i = r * cols + c;
            *s++ = {i, i + cols + 1, shearK, shearRest};
            *s++ = {i + 1, i + cols, shearK, shearRest};
        }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols - 2; ++c) {
            const int i = r * cols + c;
            *s++ = {i, i + 2, bendK, bendRest};
        }
    for (int r = 0; r < rows - 2; ++r)
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            *s++ = {i, i + 2 * cols, bendK, bendRest};
        }

    fast_ = clothFastCreate(*this);
    setPath(bestPath());
    trialsLeft_ = 2;
}

ClothModel::ClothModel(const ClothModel& from, Copy)
    : cols(from.cols), rows(from.rows), springCount(from.springCount), positions(nullptr),
      velocities(nullptr), forces(nullptr), normals(nullptr), springs(nullptr), time(from.time),
      triangles(nullptr), texCoords(nullptr), fast_(nullptr), path_(from.path_), trialsLeft_(0),
      stepsToTrial_(0) {
    std::copy(from.sqrtTable, from.sqrtTable + sqrtTableSize, sqrtTable);
    if (!from.valid()) return;
    const int count = particleCount();
    positions = copy(from.positions, count);
    velocities = copy(from.velocities, count);
    forces = copy(from.forces, count);
    normals = copy(from.normals, count);
    springs = copy(from.springs, springCount);
    triangles = copy(from.triangles, triangleCount());
    texCoords = copy(from.texCoords, count);
    if (from.fast_ != nullptr) fast_ = clothFastCopy(*from.fast_);
}

std::unique_ptr<ClothModel> ClothModel::scratchCopy() const {
    return std::unique_ptr<ClothModel>(new ClothModel(*this, Copy{}));
}

ClothModel::~ClothModel() {
    clothFastDestroy(fast_);
    delete[] forces;
    delete[] normals;
    delete[] positions;
    delete[] springs;
    delete[] velocities;
    delete[] triangles;
    delete[] texCoords;
}

float ClothModel::breeze(float t) {
    const double g = std::sin(t / 20.0) * 8.0;
    const double h = std::sin(t / 10.0) * g;
    return static_cast<float>((std::sin(t / 3.0) + 0.7) * h - 0.5);
}

float ClothModel::breezeForce(float t) {
    return static_cast<float>(breeze(t) * 0.3);
}

float ClothModel::springFactor(float stiffness, float restLength, double q) const {
    float len;
    if (q < sqrtTableSize) {
        const int n = static_cast<int>(q);
        // Shorter than the table's first step: the root would be 0 and the
        // force infinite, so the spring lets go instead.
        if (n == 0) return 0.0f;
        len = static_cast<float>(sqrtTable[n]);
    } else if (q >= sqrtTableSize) {
        // Past the table's end: the entry the table would hold there.
        len = static_cast<float>(floatSqrt(static_cast<float>(std::trunc(q) / 1000.0)));
    } else {
        return 0.0f; // NaN: the sheet is already lost, add nothing more
    }
    return static_cast<float>(stiffness * (1.0 - restLength / static_cast<double>(len)));
}

void ClothModel::stepPlain() {
    if (!valid()) return;
    const int count = cols * rows;
    const float scale = static_cast<float>(900.0 / count);
    time = static_cast<float>(time + 0.02);

    const Vec3 external{breezeForce(time), -0.98f, 0.5f};
    for (int i = 0; i < count; ++i)
        forces[i] = external;

    for (int k = 0; k < springCount; ++k) {
        const Spring& s = springs[k];
        const Vec3& pa = positions[s.a];
        const Vec3& pb = positions[s.b];
        const float dx = pa.x - pb.x;
        const float dy = pa.y - pb.y;
        const float dz = pa.z - pb.z;
        const double q = (static_cast<double>(dx) * dx + static_cast<double>(dy) * dy +
                          static_cast<double>(dz) * dz) *
                         1000.0;
        const float f = springFactor(s.stiffness, s.restLength, q);
        const float fx = dx * f;
        const float fy = dy * f;
        const float fz = dz * f;
        Vec3& fa = forces[s.a];
        Vec3& fb = forces[s.b];
        fa.x -= fx;
        fa.y -= fy;
        fa.z -= fz;
        fb.x += fx;
        fb.y += fy;
        fb.z += fz;
    }

    // The top row holds the sheet up and never moves.
    const int moving = cols * (rows - 1);
    for (int j = 0; j < moving; ++j) {
        Vec3& v = velocities[j];
        Vec3& p = positions[j];
        const Vec3& f = forces[j];
        v.x = static_cast<float>(v.x * 0.995);
        v.y = static_cast<float>(v.y * 0.995);
        v.z = static_cast<float>(v.z * 0.995);
        v.x = static_cast<float>(v.x + static_cast<double>(scale) * f.x / 50.0);
        v.y = static_cast<float>(v.y + static_cast<double>(scale) * f.y / 50.0);
        v.z = static_cast<float>(v.z + static_cast<double>(scale) * f.z / 50.0);
        p.x = static_cast<float>(p.x + v.x / 50.0);
        p.y = static_cast<float>(p.y + v.y / 50.0);
        p.z = static_cast<float>(p.z + v.z / 50.0);
    }
}

void ClothModel::computeNormalsPlain() {
    if (!valid()) return;
    const int count = cols * rows;
    for (int i = 0; i < count; ++i)
        normals[i] = {0.0f, 0.0f, 0.0f};

    const int triangleTotal = triangleCount();
    for (int t = 0; t < triangleTotal; ++t) {
        const int i0 = triangles[t].index[0];
        const int i1 = triangles[t].index[1];
        const int i2 = triangles[t].index[2];
        const Vec3& p0 = positions[i0];
        const Vec3& p1 = positions[i1];
        const Vec3& p2 = positions[i2];
        const float e1x = p1.x - p0.x, e1y = p1.y - p0.y, e1z = p1.z - p0.z;
        const float e2x = p2.x - p0.x, e2y = p2.y - p0.y, e2z = p2.z - p0.z;
        const float nx =
            static_cast<float>(static_cast<double>(e1y) * e2z - static_cast<double>(e1z) * e2y);
        const float ny =
            static_cast<float>(static_cast<double>(e1z) * e2x - static_cast<double>(e1x) * e2z);
        const float nz =
            static_cast<float>(static_cast<double>(e1x) * e2y - static_cast<double>(e1y) * e2x);
        const int corners[3] = {i0, i1, i2};
        for (int i : corners) {
            normals[i].x += nx;
            normals[i].y += ny;
            normals[i].z += nz;
        }
    }

    for (int i = 0; i < count; ++i) {
        Vec3& n = normals[i];
        const float sum =
            static_cast<float>(static_cast<double>(n.x) * n.x + static_cast<double>(n.y) * n.y +
                               static_cast<double>(n.z) * n.z);
        const double len = floatSqrt(sum);
        // Every triangle of this particle collapsed: face the viewer, as the
        // flat sheet does, instead of handing OpenGL a NaN normal.
        if (len == 0.0) {
            n = {0.0f, 0.0f, 1.0f};
            continue;
        }
        n.x = static_cast<float>(n.x / len);
        n.y = static_cast<float>(n.y / len);
        n.z = static_cast<float>(n.z / len);
    }
}

void ClothModel::step() {
    if (trialsLeft_ > 0 && stepsToTrial_-- == 0) measurePath();
    if (path_ == ClothPath::Plain)
        stepPlain();
    else
        clothFastStep(*this, *fast_, path_);
}

void ClothModel::computeNormals() {
    if (path_ == ClothPath::Plain)
        computeNormalsPlain();
    else
        clothFastNormals(*this, *fast_, path_);
}

bool ClothModel::pathSupported(ClothPath p) {
    switch (p) {
    case ClothPath::Plain:
        return true;
    case ClothPath::Sse2:
        return true; // the baseline of every build
    case ClothPath::Avx2:
        return clothFastHasAvx2();
    case ClothPath::Avx512:
        return clothFastHasAvx512();
    }
    return false;
}

ClothPath ClothModel::bestPath() {
    if (pathSupported(ClothPath::Avx512)) return ClothPath::Avx512;
    return pathSupported(ClothPath::Avx2) ? ClothPath::Avx2 : ClothPath::Sse2;
}

ClothPath ClothModel::setPath(ClothPath p) {
    if (!pathSupported(p) || (p != ClothPath::Plain && fast_ == nullptr)) p = ClothPath::Plain;
    path_ = p;
    trialsLeft_ = 0;
    return path_;
}

ClothPath ClothModel::choosePathByTrial() {
    trialsLeft_ = 0;
    // The plain path is the reference the others are checked against, and
    // several times slower than any of them; it is not timed.
    ClothPath candidates[clothPathCount];
    int count = 0;
    if (fast_ != nullptr)
        for (ClothPath p : {ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512})
            if (pathSupported(p)) candidates[count++] = p;
    if (count == 0) return path_;
    if (count == 1) return path_ = candidates[0];
    trial_ = timeClothPaths(*this, candidates, count);
    path_ = trial_.chosen;
    return path_;
}

// The still sheet of the first step has every spring exactly at a table
// step, where the fast paths all take their careful way, and that favours
// the narrower ones; once the sheet swings the springs lie anywhere. So the
// first step's choice serves while the sheet settles, and the one measured
// then stands.
void ClothModel::measurePath() {
    const int left = trialsLeft_ - 1;
    choosePathByTrial();
    trialsLeft_ = left;
    stepsToTrial_ = clothSettleSteps - 1;
}

} // namespace VELUMIRA_CLOTH_BUILD
