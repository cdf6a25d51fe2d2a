// What this processor allows the spring step, measured apart from it:
// - how many float lanes per nanosecond its vector multiplier and adder give
//   with 256-bit and with 512-bit instructions (equal figures mean the
//   512-bit instructions buy no arithmetic, only fewer instructions);
// - how long the exact spring factor alone takes for one step's worth of
//   spring vectors (940 vectors of 16 springs on the 60 x 40 cloth), formed
//   as the AVX-512 step forms it: a float division and root, then two double
//   divisions; and how long the same number of table look-ups by gather
//   takes, the other way to the same bits. The step cannot spend less than
//   the faster of the two on its factors.
//
//   cloth_floor [rounds]
#include <immintrin.h>

// GCC 12's AVX-512 intrinsics pass an undefined placeholder operand that its
// own flow analysis then reports as maybe uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class Body> double medianNanoseconds(int rounds, Body body) {
    std::vector<double> samples;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const auto end = std::chrono::steady_clock::now();
        samples.push_back(std::chrono::duration<double, std::nano>(end - start).count());
    }
    return median(samples);
}

// Twelve independent chains, named one by one so that each stays in a
// register, so that the unit's throughput and not its latency sets the pace.
// Returns float lanes per nanosecond.
template <class T, class Op> double lanesPerNanosecond(int rounds, T seed, Op op) {
    constexpr int chains = 12, iterations = 20000;
    const double ns = medianNanoseconds(rounds, [seed, op] {
        T a = seed, b = seed, c = seed, d = seed, e = seed, f = seed;
        T g = seed, h = seed, i = seed, j = seed, k = seed, l = seed;
        for (int n = 0; n < iterations; ++n) {
            a = op(a), b = op(b), c = op(c), d = op(d), e = op(e), f = op(f);
            g = op(g), h = op(h), i = op(i), j = op(j), k = op(k), l = op(l);
            asm volatile("" : "+v"(a), "+v"(b), "+v"(c), "+v"(d), "+v"(e), "+v"(f));
            asm volatile("" : "+v"(g), "+v"(h), "+v"(i), "+v"(j), "+v"(k), "+v"(l));
        }
    });
    return static_cast<double>(chains) * iterations * (sizeof(T) / sizeof(float)) / ns;
}

__m512d lowHalf(__m512 v) {
    return _mm512_cvtps_pd(_mm512_castps512_ps256(v));
}
__m512d highHalf(__m512 v) {
    return _mm512_cvtps_pd(_mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(v), 1)));
}

} // namespace

int main(int argc, char** argv) {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx512f")) {
        std::puts("this processor has no AVX-512; nothing to measure");
        return 0;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;

    const __m256 k256 = _mm256_set1_ps(0.999999f);
    const __m512 k512 = _mm512_set1_ps(0.999999f);
    const double mul256 = lanesPerNanosecond(rounds, _mm256_set1_ps(1.0f),
                                             [k256](__m256 x) { return _mm256_mul_ps(x, k256); });
    const double mul512 = lanesPerNanosecond(rounds, _mm512_set1_ps(1.0f),
                                             [k512](__m512 x) { return _mm512_mul_ps(x, k512); });
    const double add256 = lanesPerNanosecond(rounds, _mm256_set1_ps(1.0f),
                                             [k256](__m256 x) { return _mm256_add_ps(x, k256); });
    const double add512 = lanesPerNanosecond(rounds, _mm512_set1_ps(1.0f),
                                             [k512](__m512 x) { return _mm512_add_ps(x, k512); });
    std::printf("float multiply, lanes per ns:  256-bit %6.1f   512-bit %6.1f\n", mul256, mul512);
    std::printf("float add, lanes per ns:       256-bit %6.1f   512-bit %6.1f\n", add256, add512);

    // Table indices as a sagging, swinging sheet has them (lengths from about
    // 0.7 to 2.1), from a fixed sequence.
    constexpr int vectors = 940;
    std::vector<std::int32_t> index(16 * vectors);
    std::uint32_t seed = 12345;
    for (std::int32_t& n : index) {
        seed = seed * 1664525u + 1013904223u;
        n = 500 + static_cast<std::int32_t>(seed >> 8) % 4000;
    }
    std::vector<float> out(16 * vectors);
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d rest = _mm512_set1_pd(1.0);
    const __m512d k = _mm512_set1_pd(350.0);
    const double factorNs = medianNanoseconds(rounds, [&] {
        for (int v = 0; v < vectors; ++v) {
            const __m512 n = _mm512_cvtepi32_ps(_mm512_loadu_si512(&index[16 * v]));
            const __m512 len = _mm512_sqrt_ps(_mm512_div_ps(n, _mm512_set1_ps(1000.0f)));
            const __m512d lo =
                _mm512_mul_pd(k, _mm512_sub_pd(one, _mm512_div_pd(rest, lowHalf(len))));
            const __m512d hi =
                _mm512_mul_pd(k, _mm512_sub_pd(one, _mm512_div_pd(rest, highHalf(len))));
            _mm256_storeu_ps(&out[16 * v], _mm512_cvtpd_ps(lo));
            _mm256_storeu_ps(&out[16 * v + 8], _mm512_cvtpd_ps(hi));
        }
        asm volatile("" : : "r"(out.data()) : "memory");
    });
    std::vector<float> table(16000);
    for (int n = 0; n < 16000; ++n)
        table[n] = static_cast<float>(n) * 0.5f;
    const double gatherNs = medianNanoseconds(rounds, [&] {
        for (int v = 0; v < vectors; ++v) {
            const __m512i n = _mm512_loadu_si512(&index[16 * v]);
            _mm512_storeu_ps(&out[16 * v], _mm512_i32gather_ps(n, table.data(), 4));
        }
        asm volatile("" : : "r"(out.data()) : "memory");
    });
    std::printf("one step's spring factors (%d vectors of 16), computed: %.2f us, "
                "gathered from a table: %.2f us\n",
                vectors, factorNs / 1000.0, gatherNs / 1000.0);
    return 0;
}
