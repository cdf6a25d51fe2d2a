#include "cloth_fast.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "cloth_fast_state.h"

inline namespace VELUMIRA_CLOTH_BUILD {

namespace {

// The terms a particle's force gathers, in the order its springs come in the
// spring list: the family, the slot's offset from the particle (in rows and
// columns), and whether the particle is the spring's second end (adds) or
// first end (subtracts).
struct GatherTerm {
    ClothFamily family;
    int dr;
    int dc;
    bool adds;
};

const GatherTerm gatherTerms[] = {
    {familyH, 0, -1, true},   {familyH, 0, 0, false},   {familyV, -1, 0, true},
    {familyV, 0, 0, false},   {familyS1, -1, -1, true}, {familyS2, -1, 0, true},
    {familyS2, 0, -1, false}, {familyS1, 0, 0, false},  {familyBH, 0, -2, true},
    {familyBH, 0, 0, false},  {familyBV, -2, 0, true},  {familyBV, 0, 0, false},
};

// The springs as the constructor lays them out, family by family: if the
// array holds anything else the fast paths cannot stand in for it.
bool springsMatchLayout(const ClothModel& cloth, ClothFastState& s) {
    const int cols = cloth.cols;
    int k = 0;
    auto family = [&](ClothFamily f, int firstDr, int firstDc, int secondDr, int secondDc) {
        const ClothFamilyLayout& l = s.layout[f];
        for (int r = 0; r < l.rows; ++r)
            for (int c = 0; c < l.cols; ++c) {
                const Spring& sp = cloth.springs[k++];
                if (sp.a != (r + firstDr) * cols + c + firstDc ||
                    sp.b != (r + secondDr) * cols + c + secondDc)
                    return false;
                if (r == 0 && c == 0 && s.stiffness[l.kind] < 0) {
                    s.stiffness[l.kind] = sp.stiffness;
                    s.restLength[l.kind] = sp.restLength;
                }
                if (sp.stiffness != s.stiffness[l.kind] || sp.restLength != s.restLength[l.kind])
                    return false;
            }
        return true;
    };
    for (float& v : s.stiffness)
        v = -1.0f;
    if (!family(familyH, 0, 0, 0, 1) || !family(familyV, 0, 0, 1, 0)) return false;
    // The two shear springs of a cell alternate in the list.
    const ClothFamilyLayout& shear = s.layout[familyS1];
    for (int r = 0; r < shear.rows; ++r)
        for (int c = 0; c < shear.cols; ++c) {
            const int i = r * cols + c;
            const Spring& s1 = cloth.springs[k++];
            const Spring& s2 = cloth.springs[k++];
            if (s1.a != i || s1.b != i + cols + 1 || s2.a != i + 1 || s2.b != i + cols)
                return false;
            if (r == 0 && c == 0) {
                s.stiffness[kindShear] = s1.stiffness;
                s.restLength[kindShear] = s1.restLength;
            }
            for (const Spring* sp : {&s1, &s2})
                if (sp->stiffness != s.stiffness[kindShear] ||
                    sp->restLength != s.restLength[kindShear])
                    return false;
        }
    if (!family(familyBH, 0, 0, 0, 2) || !family(familyBV, 0, 0, 2, 0)) return false;
    return k == cloth.springCount;
}

// The planes in one block, each on a 64-byte boundary; zeroed, or left for
// the caller to fill. Returns the floats from the first plane to the last's end.
size_t allocatePlanes(ClothFastState& s, bool zeroed) {
    const int planes = 3 + familyCount * 3 + 6;
    const size_t floats = static_cast<size_t>(planes) * s.size + 16;
    s.memory = zeroed ? new float[floats]() : new float[floats];
    float* next = s.memory;
    while (reinterpret_cast<std::uintptr_t>(next) % 64 != 0)
        ++next;
    float* const first = next;
    for (auto& p : s.position)
        p = next, next += s.size;
    for (auto& f : s.family)
        for (auto& p : f)
            p = next, next += s.size;
    for (auto& f : s.face)
        for (auto& p : f)
            p = next, next += s.size;
    return static_cast<size_t>(next - first);
}

} // namespace

ClothFastState* clothFastCreate(const ClothModel& cloth) {
    if (!cloth.valid()) return nullptr;
    auto* s = new ClothFastState();
    s->cols = cloth.cols;
    s->rows = cloth.rows;
    // Rows start on 64-byte boundaries, so that the loads at whole-row
    // offsets never straddle a cache line.
    s->stride = (cloth.cols + 2 + 15) / 16 * 16;
    s->base = 2 * s->stride;
    s->size = (cloth.rows + 6) * s->stride + 64;
    const int W = s->stride;
    const int rows = cloth.rows;
    const int cols = cloth.cols;
    s->layout[familyH] = {0, 1, rows, cols - 1, kindStructural};
    s->layout[familyV] = {0, W, rows - 1, cols, kindStructural};
    s->layout[familyS1] = {0, W + 1, rows - 1, cols - 1, kindShear};
    s->layout[familyS2] = {1, W, rows - 1, cols - 1, kindShear};
    s->layout[familyBH] = {0, 2, rows, cols - 2, kindBend};
    s->layout[familyBV] = {0, 2 * W, rows - 2, cols, kindBend};

    if (!springsMatchLayout(cloth, *s)) {
        delete s;
        return nullptr;
    }

    allocatePlanes(*s, true);
    s->tables = new float[kindCount * ClothModel::sqrtTableSize]();
    for (int k = 0; k < kindCount; ++k) {
        s->factor[k] = s->tables + k * ClothModel::sqrtTableSize;
        if (s->stiffness[k] < 0) continue; // no spring of this kind
        for (int n = 0; n < ClothModel::sqrtTableSize; ++n)
            s->factor[k][n] = cloth.springFactor(s->stiffness[k], s->restLength[k], n);
    }

    // The zeros in the slots of missing springs, by how the particles use them.
    const float plusZero = 0.0f;
    const float minusZero = -0.0f;
    std::vector<signed char> need(s->size);
    for (int f = 0; f < familyCount; ++f) {
        const ClothFamilyLayout& l = s->layout[f];
        std::fill(need.begin(), need.end(), 0);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                for (const GatherTerm& t : gatherTerms) {
                    if (t.family != f) continue;
                    const int ar = r + t.dr;
                    const int ac = c + t.dc;
                    if (ar >= 0 && ar < l.rows && ac >= 0 && ac < l.cols) continue;
                    const int slot = s->base + r * W + c + t.dr * W + t.dc;
                    const signed char want = t.adds ? -1 : 1;
                    if (need[slot] == -want) {
                        clothFastDestroy(s);
                        return nullptr;
                    }
                    need[slot] = want;
                }
        for (int i = 0; i < s->size; ++i)
            for (float* p : s->family[f])
                p[i] = need[i] < 0 ? minusZero : plusZero;
    }
    // Normals only add, so every missing triangle is -0.
    for (auto& f : s->face)
        for (float* p : f)
            for (int i = 0; i < s->size; ++i)
                p[i] = minusZero;
    return s;
}

ClothFastState* clothFastCopy(const ClothFastState& from) {
    auto* s = new ClothFastState(from);
    s->tables = nullptr; // only ever read: the copy looks them up in from's
    const size_t floats = allocatePlanes(*s, false);
    std::copy(from.position[0], from.position[0] + floats, s->position[0]);
    return s;
}

void clothFastDestroy(ClothFastState* state) {
    if (state == nullptr) return;
    delete[] state->memory;
    delete[] state->tables;
    delete state;
}

void clothFastStep(ClothModel& cloth, ClothFastState& state, ClothPath path) {
    if (path == ClothPath::Avx512)
        clothStepAvx512(cloth, state);
    else if (path == ClothPath::Avx2)
        clothStepAvx2(cloth, state);
    else
        clothStepSse2(cloth, state);
}

void clothFastNormals(ClothModel& cloth, ClothFastState& state, ClothPath path) {
    if (path == ClothPath::Avx512)
        clothNormalsAvx512(cloth, state);
    else if (path == ClothPath::Avx2)
        clothNormalsAvx2(cloth, state);
    else
        clothNormalsSse2(cloth, state);
}

bool clothFastHasAvx2() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // The renderer's cloth is built during static initialisation, possibly
    // before the runtime has read the processor's features.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool clothFastHasAvx512() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f");
#else
    return false;
#endif
}

} // namespace VELUMIRA_CLOTH_BUILD
