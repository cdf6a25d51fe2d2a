// Division by 50 without the divider, for the integration's two quotients:
// x / 50 with x a float, and 0.375f * f / 50 with f a float (the force scale
// of the 60 x 40 cloth). Both give the bits of the double division.
//
// Why it is exact. Split 1/50 = high + rest with high = 1/50 cut down to 27
// significant bits (so 0 < rest < 2^-32) and low = rest rounded to double.
// Then x * high is exact whenever x has at most 26 significant bits (a float
// has 24, 3 * float 26), and x * low, rounded, is within 2^-83 |x| of
// x * rest even with 0.375 folded into the constants, so the one rounding of
// the sum x * high + x * low rounds a number within 2^-83 |x| of x / 50.
// No rounding boundary lies that close: a midpoint m between neighbouring
// doubles near x / 50 is an odd multiple of half their spacing h, so 50 m is
// an odd multiple (25 is odd) of h, while x, whose own spacing is at least
// 16 h, is an even one. Hence |x - 50 m| >= h and |x / 50 - m| >= h / 50,
// which is more than 2^-66 |x| (h is at least 2^-54 |x / 50|): far wider than
// the error, so both round to the same double. It also rules out ties.
// Every float times 0.375 stays a normal double, as do its 50ths; infinities
// pass through (low > 0, so no inf - inf) and a NaN keeps its payload as in
// the division.
// The cloth_fiftieth_check tool confirms it for all 2^32 float patterns.
#pragma once

namespace clothFiftieth {

// 85899345 * 2^-32: the 27-bit truncation of 1/50.
constexpr double high = 85899345.0 / 4294967296.0;
// 1 - 50 * high is exact (46 * 2^-32), so this is rest correctly rounded.
constexpr double low = (1.0 - 50.0 * high) / 50.0;
// The force scale folded in: 0.375 * high is exact (29 bits), and with a
// float's 24 bits the product stays within 53.
constexpr float forceScale = 0.375f;
constexpr double forceHigh = 0.375 * high;
constexpr double forceLow = 0.375 * low;

// x / 50 for a float x.
inline double ofFloat(float x) {
    const double d = x;
    return d * high + d * low;
}

// 0.375 * f / 50 for a float f.
inline double ofForce(float f) {
    const double d = f;
    return d * forceHigh + d * forceLow;
}

} // namespace clothFiftieth
