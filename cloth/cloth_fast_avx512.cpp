// The fast paths on AVX-512 (foundation instructions only), chosen at run time
// where the processor has it: twice the lanes of AVX2 for the double-precision
// work, the divisions above all. Like the AVX2 file it is compiled for its own
// instruction set and shares no inline code with other files.
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass an undefined placeholder operand that its
// own flow analysis then reports as (maybe) uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"

#include "cloth_fast_kernels.h"

inline namespace VELUMIRA_CLOTH_BUILD {

namespace {

struct Avx512 {
    static constexpr int lanes = 16;
    using F = __m512;
    using I = __m512i;
    using D = __m512d;
    using M = __mmask16; // a lane mask (see outsideTable)

    CLOTH_INLINE static F load(const float* p) { return _mm512_loadu_ps(p); }
    CLOTH_INLINE static void store(float* p, F v) { _mm512_storeu_ps(p, v); }
    CLOTH_INLINE static F add(F a, F b) { return _mm512_add_ps(a, b); }
    CLOTH_INLINE static F sub(F a, F b) { return _mm512_sub_ps(a, b); }
    CLOTH_INLINE static F mul(F a, F b) { return _mm512_mul_ps(a, b); }
    CLOTH_INLINE static F set1(float v) { return _mm512_set1_ps(v); }
    // The first count lanes (fewer than all) into memory, the rest untouched.
    CLOTH_INLINE static void storePart(float* p, F v, int count) {
        _mm512_mask_storeu_ps(p, static_cast<__mmask16>((1u << count) - 1), v);
    }

    CLOTH_INLINE static D low(F v) { return _mm512_cvtps_pd(_mm512_castps512_ps256(v)); }
    CLOTH_INLINE static D high(F v) {
        return _mm512_cvtps_pd(_mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(v), 1)));
    }
    CLOTH_INLINE static F pack(D lo, D hi) {
        const __m512d l = _mm512_castps_pd(_mm512_castps256_ps512(_mm512_cvtpd_ps(lo)));
        return _mm512_castpd_ps(_mm512_insertf64x4(l, _mm256_castps_pd(_mm512_cvtpd_ps(hi)), 1));
    }

    CLOTH_INLINE static D scaledSquare(D x, D y, D z) {
        const D sum = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(x, x), _mm512_mul_pd(y, y)),
                                    _mm512_mul_pd(z, z));
        return _mm512_mul_pd(sum, _mm512_set1_pd(1000.0));
    }
    CLOTH_INLINE static I tableIndex(F dx, F dy, F dz) {
        const D lo = scaledSquare(low(dx), low(dy), low(dz));
        const D hi = scaledSquare(high(dx), high(dy), high(dz));
        return _mm512_inserti64x4(_mm512_castsi256_si512(_mm512_cvttpd_epi32(lo)),
                                  _mm512_cvttpd_epi32(hi), 1);
    }
    // Truncation gives INT_MIN for NaN and for anything past int's range.
    // Index 0 goes the scalar way too (no force there), so the computed
    // factor never divides by a zero length. The mask is kept the other way
    // round, as the lanes inside the table, which is what the zeroing move
    // wants; laneBits turns it back. Both tests run side by side.
    CLOTH_INLINE static M outsideTable(I n) {
        return _mm512_kand(
            _mm512_test_epi32_mask(n, n),
            _mm512_cmple_epu32_mask(n, _mm512_set1_epi32(ClothModel::sqrtTableSize - 1)));
    }
    // The truncated upper bound stays a float (a whole number), which is
    // what the division below wants; the careful way turns it into an int.
    using X = F;
    CLOTH_INLINE static F truncate(F v) {
        return _mm512_roundscale_ps(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    }
    CLOTH_INLINE static I toInt(F n) { return _mm512_cvttps_epi32(n); }
    // The two bounds truncate differently exactly where a whole number lies
    // above the lower one and at most the upper one, and the largest such is
    // the upper bound truncated: one compare instead of a second truncation.
    CLOTH_INLINE static int straddles(F low, F n) { return _mm512_cmp_ps_mask(n, low, _CMP_GT_OQ); }
    // Any live lane that straddles, or whose index is 0, past the table or
    // NaN: two compares and one test, the common vector's only mask work.
    // Non-negative floats order as their bit patterns do, and negative ones
    // and NaN land far outside, so the range test is one unsigned compare.
    CLOTH_INLINE static bool unusual(F low, F n, int live) {
        const __mmask16 l = static_cast<__mmask16>(live);
        const I one = _mm512_castps_si512(set1(1.0f));
        const I last = _mm512_castps_si512(set1(static_cast<float>(ClothModel::sqrtTableSize - 1)));
        const __mmask16 odd = _mm512_mask_cmpgt_epu32_mask(
            l, _mm512_sub_epi32(_mm512_castps_si512(n), one), _mm512_sub_epi32(last, one));
        return !_kortestz_mask16_u8(odd, _mm512_mask_cmp_ps_mask(l, n, low, _CMP_GT_OQ));
    }
    // The factor is computed, not looked up, so lanes past a row's end may
    // keep whatever index they have.
    CLOTH_INLINE static F usualIndex(F n) { return n; }
    CLOTH_INLINE static I andNot(M inside, I v) { return _mm512_maskz_mov_epi32(inside, v); }
    CLOTH_INLINE static int laneBits(M inside) { return ~inside & 0xffff; }

    // The table entry computed afresh rather than gathered, which is slower
    // here than the arithmetic: n / 1000 as a float division (the same float
    // as the double quotient rounded, for every index of the table), its
    // float root (the double root rounded, as always for float arguments),
    // then the factor exactly as springFactor forms it. Its constants are
    // made once per family, outside the loop, where the compiler would
    // otherwise broadcast them again for every vector.
    struct Factor {
        D one, rest, k;
        Factor(const float*, float stiffness, float restLength)
            : one(_mm512_set1_pd(1.0)), rest(_mm512_set1_pd(restLength)),
              k(_mm512_set1_pd(stiffness)) {}
        CLOTH_INLINE F operator()(F n) const {
            const F len = _mm512_sqrt_ps(_mm512_div_ps(n, set1(1000.0f)));
            return pack(_mm512_mul_pd(k, _mm512_sub_pd(one, _mm512_div_pd(rest, low(len)))),
                        _mm512_mul_pd(k, _mm512_sub_pd(one, _mm512_div_pd(rest, high(len)))));
        }
        CLOTH_INLINE F operator()(I n) const { return (*this)(_mm512_cvtepi32_ps(n)); }
    };

    // The first count particles' planes to interleaved floats: x and y merged
    // in one permute, z in a second, per output vector of 16 floats.
    CLOTH_INLINE static void joinAos(float* aos, F x, F y, F z, int count) {
        static const std::int32_t xy[3][16] = {
            {0, 16, 0, 1, 17, 0, 2, 18, 0, 3, 19, 0, 4, 20, 0, 5},
            {21, 0, 6, 22, 0, 7, 23, 0, 8, 24, 0, 9, 25, 0, 10, 26},
            {0, 11, 27, 0, 12, 28, 0, 13, 29, 0, 14, 30, 0, 15, 31, 0}};
        static const std::int32_t withZ[3][16] = {
            {0, 1, 16, 3, 4, 17, 6, 7, 18, 9, 10, 19, 12, 13, 20, 15},
            {0, 21, 2, 3, 22, 5, 6, 23, 8, 9, 24, 11, 12, 25, 14, 15},
            {26, 1, 2, 27, 4, 5, 28, 7, 8, 29, 10, 11, 30, 13, 14, 31}};
        const int floats = 3 * count;
        for (int k = 0; k < 3 && 16 * k < floats; ++k) {
            const F merged = _mm512_permutex2var_ps(x, _mm512_loadu_si512(xy[k]), y);
            const F joined = _mm512_permutex2var_ps(merged, _mm512_loadu_si512(withZ[k]), z);
            if (floats >= 16 * (k + 1))
                store(aos + 16 * k, joined);
            else
                storePart(aos + 16 * k, joined, floats - 16 * k);
        }
    }

    // Half a vector of floats, widened to and narrowed from a vector of doubles.
    using H = __m256;
    CLOTH_INLINE static H loadHalf(const float* p) { return _mm256_loadu_ps(p); }
    CLOTH_INLINE static void storeHalf(float* p, H v) { _mm256_storeu_ps(p, v); }
    CLOTH_INLINE static D widen(H v) { return _mm512_cvtps_pd(v); }
    CLOTH_INLINE static H narrow(D v) { return _mm512_cvtpd_ps(v); }
    CLOTH_INLINE static D set1D(double v) { return _mm512_set1_pd(v); }
    CLOTH_INLINE static D addD(D a, D b) { return _mm512_add_pd(a, b); }
    CLOTH_INLINE static D mulD(D a, D b) { return _mm512_mul_pd(a, b); }
    CLOTH_INLINE static D divD(D a, D b) { return _mm512_div_pd(a, b); }

    CLOTH_INLINE static F crossTerm(F a, F b, F c, F d) {
        return pack(
            _mm512_sub_pd(_mm512_mul_pd(low(a), low(b)), _mm512_mul_pd(low(c), low(d))),
            _mm512_sub_pd(_mm512_mul_pd(high(a), high(b)), _mm512_mul_pd(high(c), high(d))));
    }

    CLOTH_INLINE static D sumSquares(D x, D y, D z) {
        return _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(x, x), _mm512_mul_pd(y, y)),
                             _mm512_mul_pd(z, z));
    }
    CLOTH_INLINE static void normalise(F& x, F& y, F& z) {
        const F sum =
            pack(sumSquares(low(x), low(y), low(z)), sumSquares(high(x), high(y), high(z)));
        const D lenLo = _mm512_sqrt_pd(low(sum));
        const D lenHi = _mm512_sqrt_pd(high(sum));
        const __mmask16 zero = _mm512_cmp_ps_mask(sum, _mm512_setzero_ps(), _CMP_EQ_OQ);
        const F nx = pack(_mm512_div_pd(low(x), lenLo), _mm512_div_pd(high(x), lenHi));
        const F ny = pack(_mm512_div_pd(low(y), lenLo), _mm512_div_pd(high(y), lenHi));
        const F nz = pack(_mm512_div_pd(low(z), lenLo), _mm512_div_pd(high(z), lenHi));
        x = _mm512_mask_blend_ps(zero, nx, _mm512_setzero_ps());
        y = _mm512_mask_blend_ps(zero, ny, _mm512_setzero_ps());
        z = _mm512_mask_blend_ps(zero, nz, _mm512_set1_ps(1.0f));
    }
};

} // namespace

void clothStepAvx512(ClothModel& cloth, ClothFastState& state) {
    fastStep<Avx512>(cloth, state);
}
void clothNormalsAvx512(ClothModel& cloth, ClothFastState& state) {
    fastNormals<Avx512>(cloth, state);
}

} // namespace VELUMIRA_CLOTH_BUILD
