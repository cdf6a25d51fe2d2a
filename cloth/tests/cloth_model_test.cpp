#include <cmath>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "cloth_model.h"

namespace {

// The renderer's cloth: 60 x 40 particles, spacing 1, stiffness 350/350/200.
std::unique_ptr<ClothModel> makeCloth(ClothPath path = ClothPath::Plain) {
    auto cloth = std::make_unique<ClothModel>(60, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    cloth->setPath(path);
    return cloth;
}

void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void expectSpring(const Spring& s, int a, int b, float stiffness, float restLength) {
    EXPECT_EQ(s.a, a);
    EXPECT_EQ(s.b, b);
    EXPECT_EQ(s.stiffness, stiffness);
    EXPECT_EQ(s.restLength, restLength);
}

bool allFinite(const Vec3* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y) || !std::isfinite(v[i].z))
            return false;
    return true;
}

const float shearRest = 0x1.6a09e6p+0f; // 1.4142135, the float nearest sqrt(2)

} // namespace

TEST(ClothSquareRoot, WidensThenRoots) {
    EXPECT_EQ(static_cast<float>(floatSqrt(2.0f)), shearRest);
    EXPECT_EQ(floatSqrt(1.0f), 1.0);
    EXPECT_EQ(floatSqrt(0.0f), 0.0);
    // The root of the widened float, not of the decimal it came from.
    EXPECT_EQ(floatSqrt(0.1f), std::sqrt(static_cast<double>(0.1f)));
    EXPECT_NE(floatSqrt(0.1f), std::sqrt(0.1));
}

// The AVX-512 step computes table entries instead of reading them, from a
// float division and a float root; both must agree with the table's double
// ones, rounded, for every index.
TEST(ClothSquareRoot, FloatFormulaMatchesTheTable) {
    auto cloth = std::make_unique<ClothModel>(2, 2, 1.0f, 1.0f, 1.0f, 1.0f);
    for (int n = 0; n < ClothModel::sqrtTableSize; ++n) {
        volatile float quotient = static_cast<float>(n) / 1000.0f;
        ASSERT_EQ(quotient, static_cast<float>(n / 1000.0)) << n;
        ASSERT_EQ(std::sqrt(static_cast<float>(quotient)), static_cast<float>(cloth->sqrtTable[n]))
            << n;
    }
}

TEST(ClothConstruction, GridLayout) {
    auto cloth = makeCloth();
    ASSERT_TRUE(cloth->valid());
    EXPECT_EQ(cloth->cols, 60);
    EXPECT_EQ(cloth->rows, 40);
    EXPECT_EQ(cloth->time, 0.0f);
    expectVec(cloth->positions[0], -30.0f, -20.0f, 0.0f);
    expectVec(cloth->positions[59], 29.0f, -20.0f, 0.0f);
    expectVec(cloth->positions[60], -30.0f, -19.0f, 0.0f);
    expectVec(cloth->positions[2399], 29.0f, 19.0f, 0.0f);
    for (int i = 0; i < 2400; ++i) {
        expectVec(cloth->normals[i], 0.0f, 0.0f, 1.0f);
        expectVec(cloth->velocities[i], 0.0f, 0.0f, 0.0f);
        expectVec(cloth->forces[i], 0.0f, 0.0f, 0.0f);
    }
    EXPECT_EQ(cloth->texCoords[0].u, 0.0f);
    EXPECT_EQ(cloth->texCoords[0].v, 0.0f);
    EXPECT_EQ(cloth->texCoords[2399].u, 59.0f / 60.0f);
    EXPECT_EQ(cloth->texCoords[2399].v, 39.0f / 40.0f);
    EXPECT_EQ(cloth->texCoords[61].u, 1.0f / 60.0f);
    EXPECT_EQ(cloth->texCoords[61].v, 1.0f / 40.0f);
}

TEST(ClothConstruction, OddDimensionsCentreOnHalves) {
    ClothModel cloth(5, 3, 2.0f, 10.0f, 10.0f, 10.0f);
    expectVec(cloth.positions[0], -5.0f, -3.0f, 0.0f);
    expectVec(cloth.positions[14], 3.0f, 1.0f, 0.0f);
}

TEST(ClothConstruction, SquareRootTable) {
    auto cloth = makeCloth();
    EXPECT_EQ(cloth->sqrtTable[0], 0.0);
    EXPECT_EQ(cloth->sqrtTable[1000], 1.0);
    EXPECT_EQ(cloth->sqrtTable[4000], 2.0);
    EXPECT_EQ(cloth->sqrtTable[15999], std::sqrt(static_cast<double>(15.999f)));
    EXPECT_EQ(cloth->sqrtTable[1], std::sqrt(static_cast<double>(0.001f)));
    // Built even for a cloth refused for its size.
    ClothModel empty(0, 40, 1.0f, 350.0f, 350.0f, 200.0f);
    EXPECT_EQ(empty.sqrtTable[4000], 2.0);
}

TEST(ClothConstruction, SpringGroupsInOrder) {
    auto cloth = makeCloth();
    ASSERT_EQ(cloth->springCount, 13902);
    const Spring* s = cloth->springs;
    // Structural horizontal 0..2359, vertical 2360..4699, shear 4700..9301,
    // bend horizontal 9302..11621, bend vertical 11622..13901.
    expectSpring(s[0], 0, 1, 175.0f, 1.0f);
    expectSpring(s[2359], 2398, 2399, 175.0f, 1.0f);
    expectSpring(s[2360], 0, 60, 175.0f, 1.0f);
    expectSpring(s[4699], 2339, 2399, 175.0f, 1.0f);
    expectSpring(s[4700], 0, 61, 175.0f, shearRest);
    expectSpring(s[4701], 1, 60, 175.0f, shearRest);
    expectSpring(s[9301], 2339, 2398, 175.0f, shearRest);
    expectSpring(s[9302], 0, 2, 100.0f, 2.0f);
    expectSpring(s[11621], 2397, 2399, 100.0f, 2.0f);
    expectSpring(s[11622], 0, 120, 100.0f, 2.0f);
    expectSpring(s[13901], 2279, 2399, 100.0f, 2.0f);

    // Every spring starts exactly at rest and within the grid.
    for (int k = 0; k < cloth->springCount; ++k) {
        const Vec3& a = cloth->positions[s[k].a];
        const Vec3& b = cloth->positions[s[k].b];
        ASSERT_LT(s[k].a, s[k].b) << k;
        ASSERT_LT(s[k].b, 2400) << k;
        const float dx = a.x - b.x, dy = a.y - b.y;
        ASSERT_EQ(static_cast<float>(std::sqrt(dx * dx + dy * dy)), s[k].restLength) << k;
    }
}

TEST(ClothConstruction, StiffnessHalvedToFloat) {
    ClothModel cloth(4, 4, 1.0f, 351.0f, 0.3f, 7.0f);
    EXPECT_EQ(cloth.springs[0].stiffness, 175.5f);
    const int shearStart = 3 * 4 + 3 * 4;
    EXPECT_EQ(cloth.springs[shearStart].stiffness, 0.15f);
    EXPECT_EQ(cloth.springs[cloth.springCount - 1].stiffness, 3.5f);
}

TEST(ClothConstruction, TrianglesFaceTheViewer) {
    auto cloth = makeCloth();
    ASSERT_EQ(cloth->triangleCount(), 4602);
    const Triangle& t0 = cloth->triangles[0];
    const Triangle& t1 = cloth->triangles[1];
    EXPECT_EQ(t0.index[0], 0);
    EXPECT_EQ(t0.index[1], 1);
    EXPECT_EQ(t0.index[2], 60);
    EXPECT_EQ(t1.index[0], 60);
    EXPECT_EQ(t1.index[1], 1);
    EXPECT_EQ(t1.index[2], 61);
    const Triangle& last = cloth->triangles[4601];
    EXPECT_EQ(last.index[0], 2398);
    EXPECT_EQ(last.index[1], 2339);
    EXPECT_EQ(last.index[2], 2399);
    for (ClothPath path : {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
        cloth->setPath(path);
        cloth->normals[7] = {1.0f, 2.0f, 3.0f};
        cloth->computeNormals();
        for (int i = 0; i < 2400; ++i)
            expectVec(cloth->normals[i], 0.0f, 0.0f, 1.0f);
    }
}

TEST(ClothConstruction, RefusedDimensionsGiveAnEmptyCloth) {
    const int sizes[][2] = {{0, 40}, {60, 0},    {-3, 40},         {1, 40},
                            {60, 1}, {257, 256}, {100000, 100000}, {65536, 2}};
    for (const auto& size : sizes) {
        ClothModel cloth(size[0], size[1], 1.0f, 350.0f, 350.0f, 200.0f);
        EXPECT_FALSE(cloth.valid());
        EXPECT_EQ(cloth.cols, 0);
        EXPECT_EQ(cloth.rows, 0);
        EXPECT_EQ(cloth.springCount, 0);
        EXPECT_EQ(cloth.triangleCount(), 0);
        EXPECT_EQ(cloth.positions, nullptr);
        EXPECT_EQ(cloth.springs, nullptr);
        EXPECT_EQ(cloth.triangles, nullptr);
        EXPECT_EQ(cloth.texCoords, nullptr);
        cloth.step();
        cloth.computeNormals();
        cloth.stepPlain();
        cloth.computeNormalsPlain();
        EXPECT_EQ(cloth.time, 0.0f);
    }
}

TEST(ClothConstruction, SmallestAndLargestGrids) {
    ClothModel smallest(2, 2, 1.0f, 350.0f, 350.0f, 200.0f);
    ASSERT_TRUE(smallest.valid());
    EXPECT_EQ(smallest.springCount, 6);
    EXPECT_EQ(smallest.triangleCount(), 2);
    smallest.step();
    EXPECT_EQ(smallest.positions[0].y, static_cast<float>(-1.0 + smallest.velocities[0].y / 50.0));

    ClothModel largest(256, 256, 1.0f, 350.0f, 350.0f, 200.0f);
    ASSERT_TRUE(largest.valid());
    EXPECT_EQ(largest.triangles[largest.triangleCount() - 1].index[2], 65535);
}

TEST(ClothStep, FirstStepAppliesOnlyTheExternalForce) {
    for (ClothPath path : {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
        SCOPED_TRACE(static_cast<int>(path));
        auto cloth = makeCloth(path);
        auto before = makeCloth();
        cloth->step();
        EXPECT_EQ(cloth->time, 0x1.47ae14p-6f); // 0.0199999996
        const float forceX = -0x1.33316cp-3f;   // -0.1499966
        EXPECT_NEAR(forceX, -0.1499966f, 1e-7f);
        // Every spring is exactly at rest, so the forces are the external one.
        for (int i = 0; i < 2400; ++i)
            expectVec(cloth->forces[i], forceX, -0.98f, 0.5f);
        // Velocity 0.375 * force / 50: (-0.00112497, -0.00735, 0.00375).
        const Vec3 velocity{-0x1.26e7c4p-10f, -0x1.e1b08ap-8f, 0x1.eb851ep-9f};
        EXPECT_NEAR(velocity.x, -0.00112497f, 1e-8f);
        EXPECT_NEAR(velocity.y, -0.00735f, 1e-8f);
        EXPECT_NEAR(velocity.z, 0.00375f, 1e-8f);
        for (int i = 0; i < 2340; ++i) {
            expectVec(cloth->velocities[i], velocity.x, velocity.y, velocity.z);
            const Vec3& p = before->positions[i];
            expectVec(cloth->positions[i], static_cast<float>(p.x + velocity.x / 50.0),
                      static_cast<float>(p.y + velocity.y / 50.0),
                      static_cast<float>(p.z + velocity.z / 50.0));
        }
        // The particle at the origin shows the displacement unrounded by its
        // position: (-0.0000224995, -0.000147, 0.000075).
        expectVec(before->positions[1230], 0.0f, 0.0f, 0.0f);
        EXPECT_NEAR(cloth->positions[1230].x, -0.0000224995f, 1e-10f);
        EXPECT_NEAR(cloth->positions[1230].y, -0.000147f, 1e-10f);
        EXPECT_NEAR(cloth->positions[1230].z, 0.000075f, 1e-10f);
        for (int i = 2340; i < 2400; ++i) {
            expectVec(cloth->velocities[i], 0.0f, 0.0f, 0.0f);
            expectVec(cloth->positions[i], before->positions[i].x, 19.0f, 0.0f);
        }
    }
}

TEST(ClothStep, Breeze) {
    EXPECT_EQ(ClothModel::breeze(0x1.47ae14p-6f), -0x1.fffd0ap-2f); // -0.4999887
    EXPECT_NEAR(ClothModel::breeze(0x1.47ae14p-6f), -0.4999887f, 1e-7f);
    EXPECT_EQ(ClothModel::breeze(0.0f), -0.5f);
    // The three sines in their stated order and divisors.
    const double t = 100.0;
    const double expected =
        (std::sin(t / 3) + 0.7) * (std::sin(t / 10) * (std::sin(t / 20) * 8)) - 0.5;
    EXPECT_EQ(ClothModel::breeze(100.0f), static_cast<float>(expected));
    EXPECT_EQ(ClothModel::breezeForce(100.0f),
              static_cast<float>(static_cast<float>(expected) * 0.3));
}

TEST(ClothStep, TopRowNeverMoves) {
    for (ClothPath path : {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
        auto cloth = makeCloth(path);
        auto initial = makeCloth();
        for (int i = 0; i < 700; ++i)
            cloth->step();
        EXPECT_EQ(
            0, std::memcmp(cloth->positions + 2340, initial->positions + 2340, 60 * sizeof(Vec3)));
        EXPECT_EQ(0, std::memcmp(cloth->velocities + 2340, initial->velocities + 2340,
                                 60 * sizeof(Vec3)));
        // The rest of the sheet sags, bellies towards the viewer and stays whole.
        EXPECT_LT(cloth->positions[0].y, -20.0f);
        EXPECT_GT(cloth->positions[1230].z, 0.0f);
        EXPECT_TRUE(allFinite(cloth->positions, 2400));
    }
}

TEST(ClothStep, FloatTimeSaturates) {
    auto cloth = makeCloth();
    cloth->time = 262144.0f;
    cloth->step();
    EXPECT_EQ(cloth->time, 262144.03125f);
    cloth->time = 300000.0f;
    cloth->step();
    EXPECT_EQ(cloth->time, 300000.03125f);
    cloth->time = 524288.0f;
    cloth->step();
    cloth->step();
    EXPECT_EQ(cloth->time, 524288.0f);
    cloth->time = 131072.0f;
    cloth->step();
    EXPECT_EQ(cloth->time, 131072.015625f);
}

TEST(ClothStep, SpringFactorOutsideTheTable) {
    auto cloth = makeCloth();
    // Inside: the table root, exactly.
    EXPECT_EQ(cloth->springFactor(175.0f, 1.0f, 1000.7), 0.0f);
    EXPECT_EQ(cloth->springFactor(175.0f, 1.0f, 4000.2),
              static_cast<float>(175.0 * (1.0 - 1.0 / 2.0)));
    EXPECT_EQ(cloth->springFactor(175.0f, 1.0f, 1.5),
              static_cast<float>(175.0 * (1.0 - 1.0 / static_cast<float>(cloth->sqrtTable[1]))));
    // Shorter than the first step: no force rather than a division by zero.
    EXPECT_EQ(cloth->springFactor(175.0f, 1.0f, 0.0), 0.0f);
    EXPECT_EQ(cloth->springFactor(175.0f, 1.0f, 0.999), 0.0f);
    // Past the end: the same formula the table is built with.
    EXPECT_EQ(cloth->springFactor(100.0f, 2.0f, 16000.9),
              static_cast<float>(100.0 * (1.0 - 2.0 / 4.0)));
    const float root = static_cast<float>(std::sqrt(static_cast<double>(40.123f)));
    EXPECT_EQ(cloth->springFactor(100.0f, 2.0f, 40123.5),
              static_cast<float>(100.0 * (1.0 - 2.0 / root)));
    EXPECT_EQ(cloth->springFactor(100.0f, 2.0f, 1e30), 100.0f);
    EXPECT_EQ(cloth->springFactor(100.0f, 2.0f, INFINITY), 100.0f);
    EXPECT_EQ(cloth->springFactor(100.0f, 2.0f, NAN), 0.0f);
}

TEST(ClothStep, StretchedAndCollapsedSheetsStayFinite) {
    for (ClothPath path : {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
        // Stretched to three times its size: bend springs reach length 6.
        auto stretched = makeCloth(path);
        for (int i = 0; i < 2400; ++i) {
            stretched->positions[i].x *= 3.0f;
            stretched->positions[i].y *= 3.0f;
        }
        stretched->step();
        EXPECT_TRUE(allFinite(stretched->forces, 2400));
        EXPECT_TRUE(allFinite(stretched->positions, 2400));
        // A stretched spring pulls its ends together.
        EXPECT_GT(stretched->forces[0].x, 0.0f);

        // Every particle on one point: no spring has a length to divide by.
        auto collapsed = makeCloth(path);
        for (int i = 0; i < 2400; ++i)
            collapsed->positions[i] = {1.0f, 2.0f, 3.0f};
        collapsed->step();
        EXPECT_TRUE(allFinite(collapsed->forces, 2400));
        EXPECT_EQ(collapsed->forces[5].y, -0.98f);
        collapsed->computeNormals();
        for (int i = 0; i < 2400; ++i)
            expectVec(collapsed->normals[i], 0.0f, 0.0f, 1.0f);
    }
}

TEST(ClothNormals, TiltedSheet) {
    for (ClothPath path : {ClothPath::Plain, ClothPath::Sse2, ClothPath::Avx2, ClothPath::Avx512}) {
        auto cloth = makeCloth(path);
        // Tilt the sheet about the y axis: z = x.
        for (int i = 0; i < 2400; ++i)
            cloth->positions[i].z = cloth->positions[i].x;
        cloth->computeNormals();
        const float half = static_cast<float>(std::sqrt(0.5));
        for (int i = 0; i < 2400; ++i) {
            EXPECT_NEAR(cloth->normals[i].x, -half, 1e-6f);
            EXPECT_EQ(cloth->normals[i].y, 0.0f);
            EXPECT_NEAR(cloth->normals[i].z, half, 1e-6f);
        }
    }
}

TEST(ClothNormals, AreaWeightedBeforeNormalising) {
    ClothModel cloth(3, 2, 1.0f, 1.0f, 1.0f, 1.0f);
    // Particle 1 (bottom middle) belongs to the triangles (0,1,3), (3,1,4) and
    // (1,2,4). Lift particle 2 so the last one tilts; the other two stay flat.
    cloth.positions[2].z = 1.0f;
    cloth.computeNormalsPlain();
    // Faces: (0,0,1), (0,0,1) and (1,2,4): e1 = (1,0,1), e2 = (0,1,0) ->
    // (0*0 - 1*1, 1*0 - 1*0, 1*1 - 0*0) = (-1, 0, 1). Sum (-1, 0, 3).
    const double len = std::sqrt(10.0);
    EXPECT_EQ(cloth.normals[1].x, static_cast<float>(-1.0 / len));
    EXPECT_EQ(cloth.normals[1].y, 0.0f);
    EXPECT_EQ(cloth.normals[1].z, static_cast<float>(3.0 / len));
}
