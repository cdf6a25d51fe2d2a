// The fast step and normals, written once over a small vector vocabulary (V)
// that each instruction-set file supplies. Included by exactly those files,
// each compiled with its own instruction set: everything here has internal
// linkage so no copy leaks into another file.
//
// Every operation is the plain version's, lane by lane: float subtraction and
// multiplication, products and sums of squares in double, conversion to float
// where the plain code stores. Only the grouping differs.
#pragma once

#include <cstdint>

#include "cloth_fast_state.h"
#include "cloth_fiftieth.h"

namespace {

#define CLOTH_INLINE inline __attribute__((always_inline))
// Each pass of the step compiled on its own, so that inlining one into
// another cannot leave the hot loops short of registers.
#define CLOTH_PASS __attribute__((noinline))

// AoS <-> planes for four particles (12 floats).
CLOTH_INLINE void splitFour(const float* aos, __m128& x, __m128& y, __m128& z) {
    const __m128 a = _mm_loadu_ps(aos);     // x0 y0 z0 x1
    const __m128 b = _mm_loadu_ps(aos + 4); // y1 z1 x2 y2
    const __m128 c = _mm_loadu_ps(aos + 8); // z2 x3 y3 z3
    const __m128 x2y2x3y3 = _mm_shuffle_ps(b, c, _MM_SHUFFLE(2, 1, 3, 2));
    const __m128 y0z0y1z1 = _mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 0, 2, 1));
    x = _mm_shuffle_ps(a, x2y2x3y3, _MM_SHUFFLE(2, 0, 3, 0));
    y = _mm_shuffle_ps(y0z0y1z1, x2y2x3y3, _MM_SHUFFLE(3, 1, 2, 0));
    z = _mm_shuffle_ps(y0z0y1z1, c, _MM_SHUFFLE(3, 0, 3, 1));
}

CLOTH_INLINE void joinFour(float* aos, __m128 x, __m128 y, __m128 z) {
    const __m128 xy = _mm_unpacklo_ps(x, y);                           // x0 y0 x1 y1
    const __m128 z0x1 = _mm_shuffle_ps(z, x, _MM_SHUFFLE(1, 1, 0, 0)); // z0 z0 x1 x1
    const __m128 y1z1 = _mm_shuffle_ps(y, z, _MM_SHUFFLE(1, 1, 1, 1)); // y1 y1 z1 z1
    const __m128 x2y2 = _mm_shuffle_ps(x, y, _MM_SHUFFLE(2, 2, 2, 2)); // x2 x2 y2 y2
    const __m128 z2x3 = _mm_shuffle_ps(z, x, _MM_SHUFFLE(3, 3, 2, 2)); // z2 z2 x3 x3
    const __m128 y3z3 = _mm_shuffle_ps(y, z, _MM_SHUFFLE(3, 3, 3, 3)); // y3 y3 z3 z3
    _mm_storeu_ps(aos, _mm_shuffle_ps(xy, z0x1, _MM_SHUFFLE(2, 0, 1, 0)));
    _mm_storeu_ps(aos + 4, _mm_shuffle_ps(y1z1, x2y2, _MM_SHUFFLE(2, 0, 2, 0)));
    _mm_storeu_ps(aos + 8, _mm_shuffle_ps(z2x3, y3z3, _MM_SHUFFLE(2, 0, 2, 0)));
}

// Copies the positions into the padded planes.
template <class V> void loadPositions(const ClothModel& cloth, ClothFastState& s) {
    const int cols = cloth.cols;
    const float* src = &cloth.positions[0].x;
    float* const* plane = s.position;
    for (int r = 0; r < cloth.rows; ++r) {
        const float* row = src + 3 * r * cols;
        const int p0 = s.base + r * s.stride;
        int c = 0;
        for (; c + 4 <= cols; c += 4) {
            __m128 x, y, z;
            splitFour(row + 3 * c, x, y, z);
            _mm_storeu_ps(plane[0] + p0 + c, x);
            _mm_storeu_ps(plane[1] + p0 + c, y);
            _mm_storeu_ps(plane[2] + p0 + c, z);
        }
        for (; c < cols; ++c)
            for (int k = 0; k < 3; ++k)
                plane[k][p0 + c] = row[3 * c + k];
    }
}

// Lanes from..count-1 of three planes' vectors as AoS, one float at a time.
template <class V>
void storeAosTail(float* aos, typename V::F x, typename V::F y, typename V::F z, int from,
                  int count) {
    alignas(64) float lx[V::lanes], ly[V::lanes], lz[V::lanes];
    V::store(lx, x);
    V::store(ly, y);
    V::store(lz, z);
    for (int i = from; i < count; ++i) {
        aos[3 * i] = lx[i];
        aos[3 * i + 1] = ly[i];
        aos[3 * i + 2] = lz[i];
    }
}

// What the paths that look the spring factor up in a table share (SSE2 and
// AVX2 derive from it, naming themselves as V): the truncated upper bound is
// already the table index, and every look-up must stay inside the table.
template <class V> struct TableLookup {
    template <class I> CLOTH_INLINE static I toInt(I n) { return n; }
    // Any live lane that the float index cannot settle, or that lies past
    // the table: those vectors take the careful way.
    template <class F, class I> CLOTH_INLINE static bool unusual(F low, I n, int live) {
        return ((V::straddles(low, n) | V::laneBits(V::outsideTable(n))) & live) != 0;
    }
    // Lanes past a row's end may hold any index; the gather must stay inside.
    template <class I> CLOTH_INLINE static I usualIndex(I n) {
        return V::andNot(V::outsideTable(n), n);
    }
    struct Factor {
        const float* table;
        Factor(const float* factors, float, float) : table(factors) {}
        template <class I> CLOTH_INLINE auto operator()(I n) const { return V::gather(table, n); }
    };
};

// Stores the first `count` lanes into a plane, keeping the rest as it was.
template <class V> CLOTH_INLINE void storeFirst(float* dst, typename V::F v, int count) {
    if (count >= V::lanes)
        V::store(dst, v);
    else
        V::storePart(dst, v, count);
}

// One family's springs: difference, table index, factor, force.
template <class V> struct SpringFamily {
    using F = typename V::F;
    const ClothModel& cloth;
    const float* px;
    const float* py;
    const float* pz;
    int first;
    int second;
    // Copies, so that the stores below cannot be taken to change them.
    float stiffness;
    float restLength;
    typename V::Factor factorOf;
    float* ox;
    float* oy;
    float* oz;

    SpringFamily(const ClothModel& model, const ClothFastState& s, int f)
        : cloth(model), px(s.position[0]), py(s.position[1]), pz(s.position[2]),
          first(s.layout[f].first), second(s.layout[f].second),
          stiffness(s.stiffness[s.layout[f].kind]), restLength(s.restLength[s.layout[f].kind]),
          factorOf(s.factor[s.layout[f].kind], stiffness, restLength), ox(s.family[f][0]),
          oy(s.family[f][1]), oz(s.family[f][2]) {}

    // 1000 * (1 -+ 2^-21): the float sum of three non-negative squares is
    // within three float roundings (u = 2^-24) of the exact sum, and the
    // scaling adds two more, so the bounds are off by at most 5u before the
    // widening of 8u; the double computation is off by far less.
    static F lowScale() { return V::set1(static_cast<float>(1000.0 * (1.0 - 1.0 / 2097152.0))); }
    static F highScale() { return V::set1(static_cast<float>(1000.0 * (1.0 + 1.0 / 2097152.0))); }

    // NV vectors of springs anchored from p on, of which the first `left`
    // exist (at least one in the last vector). Each stage runs over all of
    // them before the next, so that the divisions of one vector's factor
    // never wait behind another's and the processor overlaps them.
    template <int NV> CLOTH_INLINE void block(int p, int left) const {
        F dx[NV], dy[NV], dz[NV];
        typename V::X top[NV];
        bool usual[NV];
        const F lowBound = lowScale();
        const F highBound = highScale();
#pragma GCC unroll 4
        for (int v = 0; v < NV; ++v) {
            const int a = p + v * V::lanes + first;
            const int b = p + v * V::lanes + second;
            dx[v] = V::sub(V::load(px + a), V::load(px + b));
            dy[v] = V::sub(V::load(py + a), V::load(py + b));
            dz[v] = V::sub(V::load(pz + a), V::load(pz + b));
            // Most springs sit clear of a table step: the float sum of
            // squares, widened by more than its rounding either way,
            // truncates to the same index as the double one. Only where the
            // two bounds straddle a step is the double sum needed. Lanes
            // past the row's last spring hold whatever the padding gives;
            // nothing they compute is kept.
            const F sum =
                V::add(V::add(V::mul(dx[v], dx[v]), V::mul(dy[v], dy[v])), V::mul(dz[v], dz[v]));
            top[v] = V::truncate(V::mul(sum, highBound));
            usual[v] = !V::unusual(V::mul(sum, lowBound), top[v], liveLanes(left - v * V::lanes));
        }
        F factor[NV];
#pragma GCC unroll 4
        for (int v = 0; v < NV; ++v) {
            factor[v] = factorOf(V::usualIndex(top[v]));
            // Here, not sunk into the branch below, which would put each
            // vector's divisions back behind the previous vector's stores.
            asm volatile("" : "+v"(factor[v]));
        }
#pragma GCC unroll 4
        for (int v = 0; v < NV; ++v) {
            const int q = p + v * V::lanes;
            const int count = left - v * V::lanes;
            if (usual[v]) {
                storeFirst<V>(ox + q, V::mul(dx[v], factor[v]), count);
                storeFirst<V>(oy + q, V::mul(dy[v], factor[v]), count);
                storeFirst<V>(oz + q, V::mul(dz[v], factor[v]), count);
            } else {
                careful(q, count, dx[v], dy[v], dz[v]);
            }
        }
    }

    static int liveLanes(int count) {
        return count < V::lanes ? (1 << count) - 1 : -1;
    }

    // A vector with a lane that straddles a table step or lies outside the
    // table: the index from the double sum where needed, and the scalar rule
    // beyond the table's reach. Rare, so kept out of the loop's way.
    __attribute__((noinline)) void careful(int p, int count, F dx, F dy, F dz) const {
        const int live = liveLanes(count);
        const F sum = V::add(V::add(V::mul(dx, dx), V::mul(dy, dy)), V::mul(dz, dz));
        const typename V::X top = V::truncate(V::mul(sum, highScale()));
        typename V::I n = V::toInt(top);
        if ((V::straddles(V::mul(sum, lowScale()), top) & live) != 0) n = V::tableIndex(dx, dy, dz);
        const typename V::M outside = V::outsideTable(n);
        n = V::andNot(outside, n);
        F factor = factorOf(n);
        const int patch = V::laneBits(outside) & live;
        if (patch != 0) {
            alignas(32) float lx[V::lanes], ly[V::lanes], lz[V::lanes], lf[V::lanes];
            V::store(lx, dx);
            V::store(ly, dy);
            V::store(lz, dz);
            V::store(lf, factor);
            for (int i = 0; i < V::lanes; ++i) {
                if (!(patch >> i & 1)) continue;
                const double q =
                    (static_cast<double>(lx[i]) * lx[i] + static_cast<double>(ly[i]) * ly[i] +
                     static_cast<double>(lz[i]) * lz[i]) *
                    1000.0;
                lf[i] = cloth.springFactor(stiffness, restLength, q);
            }
            factor = V::load(lf);
        }
        storeFirst<V>(ox + p, V::mul(dx, factor), count);
        storeFirst<V>(oy + p, V::mul(dy, factor), count);
        storeFirst<V>(oz + p, V::mul(dz, factor), count);
    }
};

// Vectors that a pass handles side by side, stage by stage: four of springs
// or of particles, eight halves in the integration. They hold some twenty
// vector registers, which 32-bit x86, with eight, does not have.
#if defined(__x86_64__)
constexpr int vectorBlock = 4;
constexpr int halfBlock = 8;
#else
constexpr int vectorBlock = 1;
constexpr int halfBlock = 1;
#endif

template <class V> CLOTH_PASS void springForces(const ClothModel& cloth, ClothFastState& s) {
    for (int f = 0; f < familyCount; ++f) {
        const ClothFamilyLayout& l = s.layout[f];
        const SpringFamily<V> family(cloth, s, f);
        for (int r = 0; r < l.rows; ++r) {
            const int p0 = s.base + r * s.stride;
            // Whole blocks while a block's last vector has a spring.
            int c = 0;
            for (; l.cols - c > (vectorBlock - 1) * V::lanes; c += vectorBlock * V::lanes)
                family.template block<vectorBlock>(p0 + c, l.cols - c);
            for (; c < l.cols; c += V::lanes)
                family.template block<1>(p0 + c, l.cols - c);
        }
    }
}

// NV vectors of particles from p on, each component's force: the external
// force, then the particle's springs in spring-list order. The vectors' and
// components' sums advance side by side, term by term, so that the adds of
// one sum never wait behind another's.
template <class V, int NV>
CLOTH_INLINE void gatherBlock(float* const* fam, const typename V::F (&external)[3], int p, int W,
                              typename V::F (&g)[3][NV]) {
#pragma GCC unroll 4
    for (int k = 0; k < 3; ++k)
#pragma GCC unroll 4
        for (int v = 0; v < NV; ++v)
            g[k][v] = external[k];
    auto term = [&](ClothFamily family, int offset, bool adds) __attribute__((always_inline)) {
#pragma GCC unroll 4
        for (int k = 0; k < 3; ++k)
#pragma GCC unroll 4
            for (int v = 0; v < NV; ++v) {
                const typename V::F t = V::load(fam[3 * family + k] + p + v * V::lanes + offset);
                g[k][v] = adds ? V::add(g[k][v], t) : V::sub(g[k][v], t);
            }
    };
    term(familyH, -1, true);
    term(familyH, 0, false);
    term(familyV, -W, true);
    term(familyV, 0, false);
    term(familyS1, -W - 1, true);
    term(familyS2, -W, true);
    term(familyS2, -1, false);
    term(familyS1, 0, false);
    term(familyBH, -2, true);
    term(familyBH, 0, false);
    term(familyBV, -2 * W, true);
    term(familyBV, 0, false);
}

template <class V>
CLOTH_PASS void gatherForces(ClothModel& cloth, ClothFastState& s, float externalX) {
    using F = typename V::F;
    const int W = s.stride;
    const int cols = cloth.cols;
    float* const* fam = &s.family[0][0];
    const F external[3] = {V::set1(externalX), V::set1(-0.98f), V::set1(0.5f)};
    constexpr int block = vectorBlock;
    for (int r = 0; r < cloth.rows; ++r) {
        const int p0 = s.base + r * W;
        float* out = &cloth.forces[r * cols].x;
        int c = 0;
        for (; cols - c > (block - 1) * V::lanes; c += block * V::lanes) {
            F g[3][block];
            gatherBlock<V, block>(fam, external, p0 + c, W, g);
#pragma GCC unroll 4
            for (int v = 0; v < block; ++v) {
                const int at = c + v * V::lanes;
                const int count = cols - at < V::lanes ? cols - at : V::lanes;
                V::joinAos(out + 3 * at, g[0][v], g[1][v], g[2][v], count);
            }
        }
        for (; c < cols; c += V::lanes) {
            F g[3][1];
            gatherBlock<V, 1>(fam, external, p0 + c, W, g);
            const int count = cols - c < V::lanes ? cols - c : V::lanes;
            V::joinAos(out + 3 * c, g[0][0], g[1][0], g[2][0], count);
        }
    }
}

// x / 50 for lanes widened from floats, without the divider (see
// cloth_fiftieth.h for why the bits are the division's).
template <class V>
CLOTH_INLINE typename V::D fiftieth(typename V::D x, typename V::D high, typename V::D low) {
    return V::addD(V::mulD(x, high), V::mulD(x, low));
}

// s * f / 50: by multiplications where the force scale is the one folded
// into the constants, by the division otherwise.
template <class V, bool folded> struct ForceTerm {
    typename V::D scale, fifty, high, low;
    explicit ForceTerm(float s)
        : scale(V::set1D(s)), fifty(V::set1D(50.0)), high(V::set1D(clothFiftieth::forceHigh)),
          low(V::set1D(clothFiftieth::forceLow)) {}
    CLOTH_INLINE typename V::D operator()(typename V::D f) const {
        if (folded) return fiftieth<V>(f, high, low);
        return V::divD(V::mulD(scale, f), fifty);
    }
    static double scalar(float s, float f) {
        if (folded) return clothFiftieth::ofForce(f);
        return static_cast<double>(s) * f / 50.0;
    }
};

// Half a vector of floats at a time, widened straight from memory and
// narrowed straight into it, so that no lanes are shuffled around the
// conversions, which bound this loop.
template <class V, bool folded>
void integrateRun(float* vel, float* pos, const float* force, int count, float scale) {
    using D = typename V::D;
    constexpr int half = V::lanes / 2;
    const D damping = V::set1D(0.995);
    const D high = V::set1D(clothFiftieth::high);
    const D low = V::set1D(clothFiftieth::low);
    const ForceTerm<V, folded> term(scale);
    int i = 0;
    // Blocks of half vectors, each stage over the whole block, so that the
    // conversions of one half never wait behind another's.
    constexpr int block = halfBlock;
    for (; i + block * half <= count; i += block * half) {
        D v1[block];
        typename V::H v2[block];
#pragma GCC unroll 8
        for (int u = 0; u < block; ++u)
            v1[u] =
                V::widen(V::narrow(V::mulD(V::widen(V::loadHalf(vel + i + u * half)), damping)));
#pragma GCC unroll 8
        for (int u = 0; u < block; ++u) {
            v2[u] = V::narrow(V::addD(v1[u], term(V::widen(V::loadHalf(force + i + u * half)))));
            V::storeHalf(vel + i + u * half, v2[u]);
        }
#pragma GCC unroll 8
        for (int u = 0; u < block; ++u) {
            const D p = V::widen(V::loadHalf(pos + i + u * half));
            V::storeHalf(pos + i + u * half,
                         V::narrow(V::addD(p, fiftieth<V>(V::widen(v2[u]), high, low))));
        }
    }
    for (; i + half <= count; i += half) {
        const D v1 = V::widen(V::narrow(V::mulD(V::widen(V::loadHalf(vel + i)), damping)));
        const typename V::H v2 = V::narrow(V::addD(v1, term(V::widen(V::loadHalf(force + i)))));
        V::storeHalf(vel + i, v2);
        const D p = V::widen(V::loadHalf(pos + i));
        V::storeHalf(pos + i, V::narrow(V::addD(p, fiftieth<V>(V::widen(v2), high, low))));
    }
    for (; i < count; ++i) {
        vel[i] = static_cast<float>(vel[i] * 0.995);
        vel[i] = static_cast<float>(vel[i] + ForceTerm<V, folded>::scalar(scale, force[i]));
        pos[i] = static_cast<float>(pos[i] + clothFiftieth::ofFloat(vel[i]));
    }
}

// Velocities and positions of every particle below the top row, as one flat
// run of floats.
template <class V> CLOTH_PASS void integrate(ClothModel& cloth) {
    const int count = 3 * cloth.cols * (cloth.rows - 1);
    const float scale = static_cast<float>(900.0 / (cloth.cols * cloth.rows));
    float* vel = &cloth.velocities[0].x;
    float* pos = &cloth.positions[0].x;
    const float* force = &cloth.forces[0].x;
    if (scale == clothFiftieth::forceScale)
        integrateRun<V, true>(vel, pos, force, count, scale);
    else
        integrateRun<V, false>(vel, pos, force, count, scale);
}

template <class V> void fastStep(ClothModel& cloth, ClothFastState& s) {
    cloth.time = static_cast<float>(cloth.time + 0.02);
    const float externalX = ClothModel::breezeForce(cloth.time);
    loadPositions<V>(cloth, s);
    springForces<V>(cloth, s);
    gatherForces<V>(cloth, s, externalX);
    integrate<V>(cloth);
}

// Face normals of both triangles of every cell.
template <class V> void faceNormals(ClothFastState& s) {
    using F = typename V::F;
    const int W = s.stride;
    const float* px = s.position[0];
    const float* py = s.position[1];
    const float* pz = s.position[2];
    // Triangle corners relative to the cell's anchor: (i, i+1, i+W) and
    // (i+W, i+1, i+W+1).
    const int corner[2][3] = {{0, 1, W}, {W, 1, W + 1}};
    for (int t = 0; t < 2; ++t) {
        for (int r = 0; r < s.rows - 1; ++r) {
            const int p0 = s.base + r * W;
            for (int c = 0; c < s.cols - 1; c += V::lanes) {
                const int p = p0 + c;
                const int i0 = p + corner[t][0], i1 = p + corner[t][1], i2 = p + corner[t][2];
                const F x0 = V::load(px + i0), y0 = V::load(py + i0), z0 = V::load(pz + i0);
                const F e1x = V::sub(V::load(px + i1), x0);
                const F e1y = V::sub(V::load(py + i1), y0);
                const F e1z = V::sub(V::load(pz + i1), z0);
                const F e2x = V::sub(V::load(px + i2), x0);
                const F e2y = V::sub(V::load(py + i2), y0);
                const F e2z = V::sub(V::load(pz + i2), z0);
                const int count = s.cols - 1 - c;
                storeFirst<V>(s.face[t][0] + p, V::crossTerm(e1y, e2z, e1z, e2y), count);
                storeFirst<V>(s.face[t][1] + p, V::crossTerm(e1z, e2x, e1x, e2z), count);
                storeFirst<V>(s.face[t][2] + p, V::crossTerm(e1x, e2y, e1y, e2x), count);
            }
        }
    }
}

// A particle component's summed normal, in triangle-list order.
template <class V> CLOTH_INLINE typename V::F sumNormal(const ClothFastState& s, int k, int p) {
    const int W = s.stride;
    const float* t1 = s.face[0][k];
    const float* t2 = s.face[1][k];
    typename V::F n = V::set1(0.0f);
    n = V::add(n, V::load(t2 + p - W - 1));
    n = V::add(n, V::load(t1 + p - W));
    n = V::add(n, V::load(t2 + p - W));
    n = V::add(n, V::load(t1 + p - 1));
    n = V::add(n, V::load(t2 + p - 1));
    n = V::add(n, V::load(t1 + p));
    return n;
}

template <class V> void fastNormals(ClothModel& cloth, ClothFastState& s) {
    using F = typename V::F;
    loadPositions<V>(cloth, s);
    faceNormals<V>(s);
    const int cols = cloth.cols;
    for (int r = 0; r < cloth.rows; ++r) {
        const int p0 = s.base + r * s.stride;
        float* out = &cloth.normals[r * cols].x;
        for (int c = 0; c < cols; c += V::lanes) {
            const int p = p0 + c;
            F nx = sumNormal<V>(s, 0, p);
            F ny = sumNormal<V>(s, 1, p);
            F nz = sumNormal<V>(s, 2, p);
            V::normalise(nx, ny, nz);
            const int count = cols - c < V::lanes ? cols - c : V::lanes;
            V::joinAos(out + 3 * c, nx, ny, nz, count);
        }
    }
}

} // namespace
