// The fast paths on AVX2, chosen at run time where the processor has it. This
// file alone is compiled for AVX2 (no FMA: it would change the bits), so it
// includes nothing whose inline code another file could end up sharing.
#include <immintrin.h>

#include "cloth_fast_kernels.h"

inline namespace VELUMIRA_CLOTH_BUILD {

namespace {

struct Avx2 : TableLookup<Avx2> {
    static constexpr int lanes = 8;
    using F = __m256;
    using I = __m256i;
    using M = I; // a lane mask: all bits set or clear per lane
    using D = __m256d;

    CLOTH_INLINE static F load(const float* p) { return _mm256_loadu_ps(p); }
    CLOTH_INLINE static void store(float* p, F v) { _mm256_storeu_ps(p, v); }
    CLOTH_INLINE static F add(F a, F b) { return _mm256_add_ps(a, b); }
    CLOTH_INLINE static F sub(F a, F b) { return _mm256_sub_ps(a, b); }
    CLOTH_INLINE static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
    CLOTH_INLINE static F set1(float v) { return _mm256_set1_ps(v); }
    CLOTH_INLINE static F select(F mask, F a, F b) { return _mm256_blendv_ps(b, a, mask); }
    // The first count lanes (fewer than all) into memory, the rest untouched.
    CLOTH_INLINE static void storePart(float* p, F v, int count) {
        store(p, select(firstLanes(count), v, load(p)));
    }
    CLOTH_INLINE static F firstLanes(int count) {
        static const std::int32_t bits[16] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                              0,  0,  0,  0,  0,  0,  0,  0};
        return _mm256_loadu_ps(reinterpret_cast<const float*>(bits + lanes - count));
    }

    CLOTH_INLINE static D low(F v) { return _mm256_cvtps_pd(_mm256_castps256_ps128(v)); }
    CLOTH_INLINE static D high(F v) { return _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1)); }
    CLOTH_INLINE static F pack(D lo, D hi) {
        return _mm256_set_m128(_mm256_cvtpd_ps(hi), _mm256_cvtpd_ps(lo));
    }

    CLOTH_INLINE static D scaledSquare(D x, D y, D z) {
        const D sum = _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, x), _mm256_mul_pd(y, y)),
                                    _mm256_mul_pd(z, z));
        return _mm256_mul_pd(sum, _mm256_set1_pd(1000.0));
    }
    CLOTH_INLINE static I tableIndex(F dx, F dy, F dz) {
        const D lo = scaledSquare(low(dx), low(dy), low(dz));
        const D hi = scaledSquare(high(dx), high(dy), high(dz));
        return _mm256_set_m128i(_mm256_cvttpd_epi32(hi), _mm256_cvttpd_epi32(lo));
    }
    // Truncation gives INT_MIN for NaN and for anything past int's range.
    CLOTH_INLINE static I outsideTable(I n) {
        return _mm256_or_si256(
            _mm256_cmpgt_epi32(_mm256_setzero_si256(), n),
            _mm256_cmpgt_epi32(n, _mm256_set1_epi32(ClothModel::sqrtTableSize - 1)));
    }
    CLOTH_INLINE static I truncate(F v) { return _mm256_cvttps_epi32(v); }
    // The truncated upper bound is already the table index.
    using X = I;
    // Bit i set where lane i's lower bound truncates to another index.
    CLOTH_INLINE static int straddles(F low, I n) {
        return _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(truncate(low), n))) ^ 0xff;
    }
    CLOTH_INLINE static I andNot(I mask, I v) { return _mm256_andnot_si256(mask, v); }
    CLOTH_INLINE static int laneBits(I mask) {
        return _mm256_movemask_ps(_mm256_castsi256_ps(mask));
    }
    CLOTH_INLINE static F gather(const float* table, I n) {
        return _mm256_i32gather_ps(table, n, 4);
    }

    // The first count particles' planes to interleaved floats.
    CLOTH_INLINE static void joinAos(float* aos, F x, F y, F z, int count) {
        if (count < 4) {
            storeAosTail<Avx2>(aos, x, y, z, 0, count);
            return;
        }
        joinFour(aos, _mm256_castps256_ps128(x), _mm256_castps256_ps128(y),
                 _mm256_castps256_ps128(z));
        if (count == lanes)
            joinFour(aos + 12, _mm256_extractf128_ps(x, 1), _mm256_extractf128_ps(y, 1),
                     _mm256_extractf128_ps(z, 1));
        else
            storeAosTail<Avx2>(aos, x, y, z, 4, count);
    }

    // Half a vector of floats, widened to and narrowed from a vector of doubles.
    using H = __m128;
    CLOTH_INLINE static H loadHalf(const float* p) { return _mm_loadu_ps(p); }
    CLOTH_INLINE static void storeHalf(float* p, H v) { _mm_storeu_ps(p, v); }
    CLOTH_INLINE static D widen(H v) { return _mm256_cvtps_pd(v); }
    CLOTH_INLINE static H narrow(D v) { return _mm256_cvtpd_ps(v); }
    CLOTH_INLINE static D set1D(double v) { return _mm256_set1_pd(v); }
    CLOTH_INLINE static D addD(D a, D b) { return _mm256_add_pd(a, b); }
    CLOTH_INLINE static D mulD(D a, D b) { return _mm256_mul_pd(a, b); }
    CLOTH_INLINE static D divD(D a, D b) { return _mm256_div_pd(a, b); }

    CLOTH_INLINE static F crossTerm(F a, F b, F c, F d) {
        return pack(
            _mm256_sub_pd(_mm256_mul_pd(low(a), low(b)), _mm256_mul_pd(low(c), low(d))),
            _mm256_sub_pd(_mm256_mul_pd(high(a), high(b)), _mm256_mul_pd(high(c), high(d))));
    }

    CLOTH_INLINE static D sumSquares(D x, D y, D z) {
        return _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, x), _mm256_mul_pd(y, y)),
                             _mm256_mul_pd(z, z));
    }
    CLOTH_INLINE static void normalise(F& x, F& y, F& z) {
        const F sum =
            pack(sumSquares(low(x), low(y), low(z)), sumSquares(high(x), high(y), high(z)));
        const D lenLo = _mm256_sqrt_pd(low(sum));
        const D lenHi = _mm256_sqrt_pd(high(sum));
        const F zero = _mm256_cmp_ps(sum, _mm256_setzero_ps(), _CMP_EQ_OQ);
        const F nx = pack(_mm256_div_pd(low(x), lenLo), _mm256_div_pd(high(x), lenHi));
        const F ny = pack(_mm256_div_pd(low(y), lenLo), _mm256_div_pd(high(y), lenHi));
        const F nz = pack(_mm256_div_pd(low(z), lenLo), _mm256_div_pd(high(z), lenHi));
        x = select(zero, _mm256_setzero_ps(), nx);
        y = select(zero, _mm256_setzero_ps(), ny);
        z = select(zero, _mm256_set1_ps(1.0f), nz);
    }
};

} // namespace

void clothStepAvx2(ClothModel& cloth, ClothFastState& state) {
    fastStep<Avx2>(cloth, state);
}
void clothNormalsAvx2(ClothModel& cloth, ClothFastState& state) {
    fastNormals<Avx2>(cloth, state);
}

} // namespace VELUMIRA_CLOTH_BUILD
