// The cloth must give the same bits in every build: optimised or not, on every
// SIMD path, on every world the programs run in.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "cloth_model.h"
#include "cloth_reference.h"

namespace {

ClothSnapshot snapshot(const ClothModel& cloth) {
    ClothSnapshot out;
    const int floats = 3 * cloth.particleCount();
    auto copy = [floats](const Vec3* v) {
        const float* f = &v->x;
        return std::vector<float>(f, f + floats);
    };
    out.positions = copy(cloth.positions);
    out.velocities = copy(cloth.velocities);
    out.forces = copy(cloth.forces);
    out.normals = copy(cloth.normals);
    out.time = cloth.time;
    return out;
}

// First differing float, or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<long>(i);
    return -1;
}

void expectSameBits(const ClothSnapshot& a, const ClothSnapshot& b) {
    EXPECT_EQ(firstDifference(a.positions, b.positions), -1);
    EXPECT_EQ(firstDifference(a.velocities, b.velocities), -1);
    EXPECT_EQ(firstDifference(a.forces, b.forces), -1);
    EXPECT_EQ(firstDifference(a.normals, b.normals), -1);
    EXPECT_EQ(std::memcmp(&a.time, &b.time, sizeof(float)), 0);
}

std::uint64_t fnv1a(std::uint64_t hash, const void* data, size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::uint64_t stateHash(const ClothSnapshot& s) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    h = fnv1a(h, s.positions.data(), s.positions.size() * sizeof(float));
    h = fnv1a(h, s.velocities.data(), s.velocities.size() * sizeof(float));
    h = fnv1a(h, s.forces.data(), s.forces.size() * sizeof(float));
    h = fnv1a(h, s.normals.data(), s.normals.size() * sizeof(float));
    return fnv1a(h, &s.time, sizeof(float));
}

const ClothPath allPaths[] = {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2,
                              ClothPath::Avx512};
const int pathCount = sizeof allPaths / sizeof allPaths[0];

ClothSnapshot run(ClothPath path, int steps, int cols = 60, int rows = 40) {
    auto cloth = std::make_unique<ClothModel>(cols, rows, 1.0f, 350.0f, 350.0f, 200.0f);
    // Every path must really run where the processor has it, not fall back.
    EXPECT_EQ(cloth->setPath(path), ClothModel::pathSupported(path) ? path : ClothPath::Plain);
    for (int i = 0; i < steps; ++i)
        cloth->step();
    cloth->computeNormals();
    return snapshot(*cloth);
}

} // namespace

TEST(ClothDeterminism, OptimisedMatchesUnoptimised) {
    const ClothSnapshot reference = unoptimisedClothState(60, 40, 600);
    for (ClothPath path : allPaths) {
        SCOPED_TRACE(static_cast<int>(path));
        expectSameBits(run(path, 600), reference);
    }
}

TEST(ClothDeterminism, OddGridMatchesUnoptimised) {
    // A grid whose rows do not fill whole SIMD vectors.
    const ClothSnapshot reference = unoptimisedClothState(13, 7, 300);
    for (ClothPath path : allPaths) {
        SCOPED_TRACE(static_cast<int>(path));
        expectSameBits(run(path, 300, 13, 7), reference);
    }
}

TEST(ClothDeterminism, FastPathsMatchPlainOverThousandsOfSteps) {
    std::unique_ptr<ClothModel> cloths[pathCount];
    for (int k = 0; k < pathCount; ++k) {
        cloths[k] = std::make_unique<ClothModel>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
        cloths[k]->setPath(allPaths[k]);
    }
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 1000; ++i)
            for (auto& cloth : cloths)
                cloth->step();
        for (auto& cloth : cloths)
            cloth->computeNormals();
        const ClothSnapshot expected = snapshot(*cloths[0]);
        for (int k = 1; k < pathCount; ++k) {
            SCOPED_TRACE(k);
            expectSameBits(snapshot(*cloths[k]), expected);
        }
    }
}

// Every path against the plain one, from positions a test arranges.
template <class Arrange> void expectPathsAgree(Arrange arrange, int steps) {
    ClothSnapshot results[pathCount];
    for (int k = 0; k < pathCount; ++k) {
        auto cloth = std::make_unique<ClothModel>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
        cloth->setPath(allPaths[k]);
        arrange(*cloth);
        for (int i = 0; i < steps; ++i)
            cloth->step();
        cloth->computeNormals();
        results[k] = snapshot(*cloth);
    }
    for (int k = 1; k < pathCount; ++k) {
        SCOPED_TRACE(k);
        expectSameBits(results[k], results[0]);
    }
}

TEST(ClothDeterminism, FastPathsMatchPlainOutsideTheTable) {
    // Springs longer than the table reaches and springs of no length, mixed
    // with ordinary ones, on every path.
    expectPathsAgree(
        [](ClothModel& cloth) {
            for (int i = 0; i < 2400; i += 7)
                cloth.positions[i].x *= 2.5f;
            for (int i = 3; i < 2400; i += 11)
                cloth.positions[i] = cloth.positions[i - 1];
        },
        50);
}

TEST(ClothDeterminism, FastPathsMatchPlainAtTableSteps) {
    // Springs whose squared length times 1000 lies a few float steps either
    // side of a whole number, where a float estimate of the table index could
    // go either way. Each row is spaced a few steps off the root of its own
    // whole number: even rows alternate between two columns, so that their
    // springs are exactly that spacing; odd rows count it up, so that
    // rounding spreads their lengths around it.
    expectPathsAgree(
        [](ClothModel& cloth) {
            for (int r = 0; r < cloth.rows; ++r) {
                float spacing = static_cast<float>(std::sqrt((1000.0 + 37 * r) / 1000.0));
                for (int k = 0; k < r % 9; ++k)
                    spacing = std::nextafter(spacing, r % 4 < 2 ? 0.0f : 2.0f);
                for (int c = 0; c < cloth.cols; ++c) {
                    const float x = r % 2 == 0 ? static_cast<float>(c % 2) * spacing
                                               : static_cast<float>(c) * spacing;
                    cloth.positions[r * cloth.cols + c].x = x;
                }
            }
        },
        2);
}

// The same bits on every world: native x86-64, sanitizers, and the Windows
// builds under Wine. A change here means the simulation changed.
TEST(ClothDeterminism, StateHashAfterThousandSteps) {
    for (ClothPath path : allPaths) {
        SCOPED_TRACE(static_cast<int>(path));
        EXPECT_EQ(stateHash(run(path, 1000)), 0x9705f521d552eb11ull);
    }
}

// A cloth left to measure its own path times every path on copies of
// itself, on its first step and again later; none of that may reach it.
TEST(ClothDeterminism, PathTrialsLeaveTheClothAsItWas) {
    auto cloth = std::make_unique<ClothModel>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    for (int i = 0; i < 500; ++i)
        cloth->step();
    if (ClothModel::pathSupported(ClothPath::Avx2)) {
        EXPECT_GT(cloth->pathTrial().count, 1);
    }

    const std::uint64_t before = stateHash(snapshot(*cloth));
    // Apart: the order in which one expression's operands run is the compiler's.
    const ClothPath chosen = cloth->choosePathByTrial();
    EXPECT_EQ(chosen, cloth->path());
    EXPECT_EQ(stateHash(snapshot(*cloth)), before);

    for (int i = 0; i < 500; ++i)
        cloth->step();
    cloth->computeNormals();
    EXPECT_EQ(stateHash(snapshot(*cloth)), 0x9705f521d552eb11ull);
}
