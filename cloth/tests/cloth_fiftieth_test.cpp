// The integration's divider-free 50ths against the division, on the inputs
// most likely to expose a wrong constant or a lost rounding, in every world.
// (cloth_fiftieth_check covers every float, natively.)
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "cloth_fiftieth.h"
#include "fiftieth_reference.h"

namespace {

using namespace fiftiethReference;

void expectDivision(float f) {
    const double d = f;
    EXPECT_EQ(bitsOf(clothFiftieth::ofFloat(f)), bitsOf(divide(d))) << std::hexfloat << f;
    EXPECT_EQ(bitsOf(clothFiftieth::ofForce(f)), bitsOf(divide(0.375 * d))) << std::hexfloat << f;
}

// Floats whose 50th a single multiplication by the nearest double to 1/50
// gets wrong: those closest to a rounding boundary of the quotient.
std::vector<float> hardCases(std::uint32_t firstPattern, int count, int wanted) {
    const double reciprocal = 1.0 / 50.0;
    std::vector<float> out;
    for (int i = 0; i < count && static_cast<int>(out.size()) < wanted; ++i) {
        const float f = floatOf(firstPattern + static_cast<std::uint32_t>(i));
        const double d = f;
        if (bitsOf(d * reciprocal) != bitsOf(divide(d)) ||
            bitsOf(0.375 * d * reciprocal) != bitsOf(divide(0.375 * d)))
            out.push_back(f);
    }
    return out;
}

} // namespace

TEST(ClothFiftieth, ZerosInfinitiesAndBinadeEdges) {
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[] = {0.0f,
                           -0.0f,
                           inf,
                           -inf,
                           std::numeric_limits<float>::denorm_min(),
                           floatOf(0x007fffff), // largest subnormal
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::max(),
                           -std::numeric_limits<float>::max(),
                           1.0f,
                           50.0f,
                           -50.0f,
                           25.0f,
                           100.0f / 3.0f,
                           0.02f,
                           floatOf(0x3f7fffff),  // just below 1
                           floatOf(0x427fffff),  // just below 64
                           floatOf(0x42480001)}; // just above 50
    for (float f : cases)
        expectDivision(f);
    for (int e = -149; e <= 127; ++e)
        for (float m : {1.0f, 1.5f, 1.9999999f}) {
            expectDivision(std::ldexp(m, e));
            expectDivision(-std::ldexp(m, e));
        }
}

TEST(ClothFiftieth, NaNsKeepTheirPayload) {
    for (std::uint32_t pattern : {0x7fc00000u, 0xffc00000u, 0x7fc12345u, 0x7f800001u, 0xff812345u})
        expectDivision(floatOf(pattern));
}

TEST(ClothFiftieth, QuotientsNearRoundingBoundaries) {
    // Where a plain reciprocal multiplication fails, in the ranges the cloth's
    // forces and velocities live in and at the extremes.
    int checked = 0;
    for (std::uint32_t first : {0x3a000000u, 0x3f800000u, 0x43000000u, 0x00400000u, 0x7f000000u}) {
        const std::vector<float> cases = hardCases(first, 1 << 18, 400);
        EXPECT_GT(cases.size(), 100u);
        for (float f : cases) {
            expectDivision(f);
            expectDivision(-f);
        }
        checked += static_cast<int>(cases.size());
    }
    EXPECT_GT(checked, 1000);
}

TEST(ClothFiftieth, RandomFloats) {
    std::mt19937 random(20261207);
    for (int i = 0; i < 4000; ++i)
        expectDivision(floatOf(static_cast<std::uint32_t>(random())));
}
