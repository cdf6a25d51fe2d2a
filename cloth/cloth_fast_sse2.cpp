// The fast paths on SSE2, the baseline every build of the renderer assumes.
#include <emmintrin.h>

#include "cloth_fast_kernels.h"

inline namespace VELUMIRA_CLOTH_BUILD {

namespace {

struct Sse2 : TableLookup<Sse2> {
    static constexpr int lanes = 4;
    using F = __m128;
    using I = __m128i;
    using M = I; // a lane mask: all bits set or clear per lane
    using D = __m128d;

    CLOTH_INLINE static F load(const float* p) { return _mm_loadu_ps(p); }
    CLOTH_INLINE static void store(float* p, F v) { _mm_storeu_ps(p, v); }
    CLOTH_INLINE static F add(F a, F b) { return _mm_add_ps(a, b); }
    CLOTH_INLINE static F sub(F a, F b) { return _mm_sub_ps(a, b); }
    CLOTH_INLINE static F mul(F a, F b) { return _mm_mul_ps(a, b); }
    CLOTH_INLINE static F set1(float v) { return _mm_set1_ps(v); }
    CLOTH_INLINE static F select(F mask, F a, F b) {
        return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
    }
    // The first count lanes (fewer than all) into memory, the rest untouched.
    CLOTH_INLINE static void storePart(float* p, F v, int count) {
        store(p, select(firstLanes(count), v, load(p)));
    }
    CLOTH_INLINE static F firstLanes(int count) {
        static const std::int32_t bits[8] = {-1, -1, -1, -1, 0, 0, 0, 0};
        return _mm_loadu_ps(reinterpret_cast<const float*>(bits + lanes - count));
    }

    CLOTH_INLINE static D low(F v) { return _mm_cvtps_pd(v); }
    CLOTH_INLINE static D high(F v) { return _mm_cvtps_pd(_mm_movehl_ps(v, v)); }
    CLOTH_INLINE static F pack(D lo, D hi) {
        return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
    }

    CLOTH_INLINE static D scaledSquare(D x, D y, D z) {
        const D sum = _mm_add_pd(_mm_add_pd(_mm_mul_pd(x, x), _mm_mul_pd(y, y)), _mm_mul_pd(z, z));
        return _mm_mul_pd(sum, _mm_set1_pd(1000.0));
    }
    CLOTH_INLINE static I tableIndex(F dx, F dy, F dz) {
        const D lo = scaledSquare(low(dx), low(dy), low(dz));
        const D hi = scaledSquare(high(dx), high(dy), high(dz));
        return _mm_unpacklo_epi64(_mm_cvttpd_epi32(lo), _mm_cvttpd_epi32(hi));
    }
    // Truncation gives INT_MIN for NaN and for anything past int's range.
    CLOTH_INLINE static I outsideTable(I n) {
        return _mm_or_si128(_mm_cmplt_epi32(n, _mm_setzero_si128()),
                            _mm_cmpgt_epi32(n, _mm_set1_epi32(ClothModel::sqrtTableSize - 1)));
    }
    CLOTH_INLINE static I truncate(F v) { return _mm_cvttps_epi32(v); }
    // The truncated upper bound is already the table index.
    using X = I;
    // Bit i set where lane i's lower bound truncates to another index.
    CLOTH_INLINE static int straddles(F low, I n) {
        return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(truncate(low), n))) ^ 0xf;
    }
    CLOTH_INLINE static I andNot(I mask, I v) { return _mm_andnot_si128(mask, v); }
    CLOTH_INLINE static int laneBits(I mask) { return _mm_movemask_ps(_mm_castsi128_ps(mask)); }
    CLOTH_INLINE static F gather(const float* table, I n) {
        alignas(16) std::int32_t i[4];
        _mm_store_si128(reinterpret_cast<I*>(i), n);
        return _mm_setr_ps(table[i[0]], table[i[1]], table[i[2]], table[i[3]]);
    }

    // The first count particles' planes to interleaved floats.
    CLOTH_INLINE static void joinAos(float* aos, F x, F y, F z, int count) {
        if (count == lanes)
            joinFour(aos, x, y, z);
        else
            storeAosTail<Sse2>(aos, x, y, z, 0, count);
    }

    // Half a vector of floats, widened to and narrowed from a vector of doubles.
    using H = __m128;
    CLOTH_INLINE static H loadHalf(const float* p) {
        return _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p));
    }
    CLOTH_INLINE static void storeHalf(float* p, H v) {
        _mm_storel_pi(reinterpret_cast<__m64*>(p), v);
    }
    CLOTH_INLINE static D widen(H v) { return _mm_cvtps_pd(v); }
    CLOTH_INLINE static H narrow(D v) { return _mm_cvtpd_ps(v); }
    CLOTH_INLINE static D set1D(double v) { return _mm_set1_pd(v); }
    CLOTH_INLINE static D addD(D a, D b) { return _mm_add_pd(a, b); }
    CLOTH_INLINE static D mulD(D a, D b) { return _mm_mul_pd(a, b); }
    CLOTH_INLINE static D divD(D a, D b) { return _mm_div_pd(a, b); }

    // (float)(a * b - c * d) with the products and difference in double.
    CLOTH_INLINE static F crossTerm(F a, F b, F c, F d) {
        return pack(_mm_sub_pd(_mm_mul_pd(low(a), low(b)), _mm_mul_pd(low(c), low(d))),
                    _mm_sub_pd(_mm_mul_pd(high(a), high(b)), _mm_mul_pd(high(c), high(d))));
    }

    CLOTH_INLINE static void normalise(F& x, F& y, F& z) {
        const F sum =
            pack(_mm_add_pd(_mm_add_pd(_mm_mul_pd(low(x), low(x)), _mm_mul_pd(low(y), low(y))),
                            _mm_mul_pd(low(z), low(z))),
                 _mm_add_pd(_mm_add_pd(_mm_mul_pd(high(x), high(x)), _mm_mul_pd(high(y), high(y))),
                            _mm_mul_pd(high(z), high(z))));
        const D lenLo = _mm_sqrt_pd(low(sum));
        const D lenHi = _mm_sqrt_pd(high(sum));
        const F zero = _mm_cmpeq_ps(sum, _mm_setzero_ps());
        const F nx = pack(_mm_div_pd(low(x), lenLo), _mm_div_pd(high(x), lenHi));
        const F ny = pack(_mm_div_pd(low(y), lenLo), _mm_div_pd(high(y), lenHi));
        const F nz = pack(_mm_div_pd(low(z), lenLo), _mm_div_pd(high(z), lenHi));
        x = select(zero, _mm_setzero_ps(), nx);
        y = select(zero, _mm_setzero_ps(), ny);
        z = select(zero, _mm_set1_ps(1.0f), nz);
    }
};

} // namespace

void clothStepSse2(ClothModel& cloth, ClothFastState& state) {
    fastStep<Sse2>(cloth, state);
}
void clothNormalsSse2(ClothModel& cloth, ClothFastState& state) {
    fastNormals<Sse2>(cloth, state);
}

} // namespace VELUMIRA_CLOTH_BUILD
