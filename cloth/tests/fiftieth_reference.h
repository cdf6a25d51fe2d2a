// What the divider-free 50ths are checked against: the double division
// itself, and the bit patterns on both sides.
#pragma once

#include <cstdint>
#include <cstring>

namespace fiftiethReference {

inline std::uint64_t bitsOf(double d) {
    std::uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

inline float floatOf(std::uint32_t b) {
    float f;
    std::memcpy(&f, &b, sizeof f);
    return f;
}

// The divisions stay divisions, done at run time the way the plain step does
// them: the operand passes through memory the compiler cannot see into.
inline double divide(volatile double x) {
    return x / 50.0;
}

} // namespace fiftiethReference
