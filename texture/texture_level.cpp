#include "texture/texture_level.h"
#include "texture/row_split.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

int gluPowerOfTwo(int value) {
    if (value <= 0) return -1;
    unsigned rest = unsigned(value);
    int power = 1;
    while (rest != 1 && rest != 3) {
        rest >>= 1;
        power *= 2;
    }
    return rest == 3 ? power * 4 : power;
}

TextureSize chooseTextureSize(int width, int height, TextureLimits& limits) {
    if (limits.hasProxies()) {
        int w = gluPowerOfTwo(width), h = gluPowerOfTwo(height);
        for (;;) {
            const int levelOneWidth = w > 1 ? w / 2 : w, levelOneHeight = h > 1 ? h / 2 : h;
            if (limits.fitsAtLevelOne(levelOneWidth, levelOneHeight)) return {w, h};
            if (w == 1 && h == 1) break;
            w = levelOneWidth;
            h = levelOneHeight;
        }
    }
    const int largest = limits.maxTextureSize();
    return {std::min(gluPowerOfTwo(width), largest), std::min(gluPowerOfTwo(height), largest)};
}

int texelBytes(TexelLayout layout) {
    return layout == TexelLayout::Bgra ? 4 : 3;
}

namespace {

// One texel's extent along one side as GLU tracks it: from input pixel `low`
// plus `lowFrac` of it to pixel `high` plus `highFrac`.
struct Span {
    int low, high;
    float lowFrac, highFrac;
};

// GLU walks a side in steps of in / out pixels, whole pixels and fraction
// apart, and moves on to the next whole pixel only once the fraction exceeds
// 1: a fraction of exactly 1 stays. Along the rows it pulls the box's end back
// inside the picture, keeping its fraction; so where the height needs no
// scaling, the last row ends where it starts and gets no weight at all. With
// power-of-two outputs every one of these values is exact in float.
std::vector<Span> walk(int in, int out, bool keepInside) {
    const float step = float(in) / float(out);
    const int whole = int(std::floor(step));
    const float fraction = step - float(whole);
    std::vector<Span> spans(static_cast<size_t>(out));
    Span s = {0, whole, 0.0f, fraction};
    for (Span& span : spans) {
        if (keepInside && s.high >= in) s.high = in - 1;
        span = s;
        s.low = s.high;
        s.lowFrac = s.highFrac;
        s.high += whole;
        s.highFrac += fraction;
        if (s.highFrac > 1) {
            s.highFrac -= 1.0f;
            ++s.high;
        }
    }
    return spans;
}

// The box's sums with exact products and partial sums, each sum rounded to
// float where GLU stores it, held as doubles (which hold them exactly): the
// x87 registers' arithmetic in SSE2. Pixels are four doubles, red to blue
// then a spare. (Only needed where rounding happens at all, see exactRows.)
struct X87Sums {
    using Value = double;
    using Weight = double;

    static Weight product(float a, float b) { return double(a) * double(b); }
    // The one weight GLU's 32-bit code stores to a float variable.
    static Weight storedProduct(float a, float b) { return double(float(double(a) * double(b))); }
    static Weight area(float a, float b) { return double(a) * double(b); }

    void add(const double* p, Weight w) {
        const __m128d weight = _mm_set1_pd(w);
        rg = store(_mm_add_pd(rg, _mm_mul_pd(_mm_loadu_pd(p), weight)));
        b = store(_mm_add_pd(b, _mm_mul_pd(_mm_loadu_pd(p + 2), weight)));
    }
    void addPair(const double* p, Weight w, const double* q, Weight v) {
        const __m128d pw = _mm_set1_pd(w), qv = _mm_set1_pd(v);
        rg = store(_mm_add_pd(
            rg, _mm_add_pd(_mm_mul_pd(_mm_loadu_pd(p), pw), _mm_mul_pd(_mm_loadu_pd(q), qv))));
        b = store(_mm_add_pd(b, _mm_add_pd(_mm_mul_pd(_mm_loadu_pd(p + 2), pw),
                                           _mm_mul_pd(_mm_loadu_pd(q + 2), qv))));
    }
    void addWhole(const double* p) {
        rg = store(_mm_add_pd(rg, _mm_loadu_pd(p)));
        b = store(_mm_add_pd(b, _mm_loadu_pd(p + 2)));
    }
    // Truncated like the x87's conversion with chopping.
    void finish(Weight boxArea, int rgb[3]) const {
        const __m128d a = _mm_set1_pd(boxArea);
        const __m128i first = _mm_cvttpd_epi32(_mm_div_pd(rg, a));
        const __m128i blue = _mm_cvttpd_epi32(_mm_div_pd(b, a));
        rgb[0] = _mm_cvtsi128_si32(first);
        rgb[1] = _mm_cvtsi128_si32(_mm_srli_si128(first, 4));
        rgb[2] = _mm_cvtsi128_si32(blue);
    }

    static __m128d store(__m128d sum) { return _mm_cvtps_pd(_mm_cvtpd_ps(sum)); }

    __m128d rg = _mm_setzero_pd(), b = _mm_setzero_pd();
};

// Every product, sum and quotient rounded to float, in GLU's order. Pixels are
// four floats, red to blue then a spare.
struct FloatSums {
    using Value = float;
    using Weight = float;

    static Weight product(float a, float b) { return a * b; }
    static Weight storedProduct(float a, float b) { return a * b; }
    static Weight area(float a, float b) { return a * b; }

    void add(const float* p, Weight w) {
        sum = _mm_add_ps(sum, _mm_mul_ps(_mm_loadu_ps(p), _mm_set1_ps(w)));
    }
    void addPair(const float* p, Weight w, const float* q, Weight v) {
        sum = _mm_add_ps(sum, _mm_add_ps(_mm_mul_ps(_mm_loadu_ps(p), _mm_set1_ps(w)),
                                         _mm_mul_ps(_mm_loadu_ps(q), _mm_set1_ps(v))));
    }
    void addWhole(const float* p) { sum = _mm_add_ps(sum, _mm_loadu_ps(p)); }
    void finish(Weight boxArea, int rgb[3]) const {
        const __m128i q = _mm_cvttps_epi32(_mm_div_ps(sum, _mm_set1_ps(boxArea)));
        rgb[0] = _mm_cvtsi128_si32(q);
        rgb[1] = _mm_cvtsi128_si32(_mm_srli_si128(q, 4));
        rgb[2] = _mm_cvtsi128_si32(_mm_srli_si128(q, 8));
    }

    __m128 sum = _mm_setzero_ps();
};

// The input rows a run of output rows reads, converted once each to the sums'
// number type. A box spans at most `slots` consecutive rows, so the rows of one
// box never share a slot.
template <class Sums> class ConvertedRows {
    using Value = typename Sums::Value;

  public:
    ConvertedRows(const unsigned char* rgb, int width, int slots)
        : rgb_(rgb), width_(width), rows_(size_t(slots)), values_(size_t(slots)) {
        std::fill(rows_.begin(), rows_.end(), -1);
        for (std::vector<Value>& v : values_)
            v.resize(size_t(width) * 4);
    }

    const Value* row(int y) {
        const size_t slot = size_t(y) % rows_.size();
        std::vector<Value>& v = values_[slot];
        if (rows_[slot] != y) {
            const unsigned char* p = rgb_ + size_t(y) * size_t(width_) * 3;
            for (int x = 0; x < width_; ++x, p += 3) {
                v[4 * size_t(x)] = Value(p[0]);
                v[4 * size_t(x) + 1] = Value(p[1]);
                v[4 * size_t(x) + 2] = Value(p[2]);
                v[4 * size_t(x) + 3] = 0;
            }
            rows_[slot] = y;
        }
        return v.data();
    }

  private:
    const unsigned char* rgb_;
    int width_;
    std::vector<int> rows_;
    std::vector<std::vector<Value>> values_;
};

// A column's box, with the weights GLU derives from it.
struct Column {
    int low, high;
    int highRead; // `high`, or the last pixel where the box ends exactly on the edge
    float lowFrac, highFrac;
    float lowWeight; // 1 - lowFrac
};

void writeTexel(const int rgb[3], TexelLayout layout, unsigned char* out) {
    if (layout == TexelLayout::Bgra) {
        out[0] = (unsigned char)rgb[2];
        out[1] = (unsigned char)rgb[1];
        out[2] = (unsigned char)rgb[0];
        out[3] = 255;
    } else {
        out[0] = (unsigned char)rgb[0];
        out[1] = (unsigned char)rgb[1];
        out[2] = (unsigned char)rgb[2];
    }
}

// One output row of GLU's box filter: per texel, the corners, edges and
// inside of its box in GLU's order, then the sum over the box's area.
template <class Sums>
void boxRow(ConvertedRows<Sums>& rows, const Span& y, const std::vector<Column>& columns,
            typename Sums::Weight area, TexelLayout layout, unsigned char* out) {
    using Value = typename Sums::Value;
    auto at = [](const Value* row, int x) { return row + 4 * size_t(x); };
    const float top = 1 - y.lowFrac, bottom = y.highFrac, within = y.highFrac - y.lowFrac;
    const bool tall = y.high > y.low;
    const Value* first = rows.row(y.low);
    const Value* last = rows.row(y.high);
    const int step = texelBytes(layout);
    for (const Column& x : columns) {
        Sums s;
        const bool wide = x.high > x.low;
        if (tall && wide) {
            s.add(at(first, x.low), Sums::storedProduct(top, x.lowWeight));
            for (int l = x.low + 1; l < x.high; ++l)
                s.add(at(first, l), top);
            s.add(at(first, x.highRead), Sums::product(top, x.highFrac));
            s.add(at(last, x.low), Sums::product(bottom, x.lowWeight));
            for (int l = x.low + 1; l < x.high; ++l)
                s.add(at(last, l), bottom);
            s.add(at(last, x.highRead), Sums::product(bottom, x.highFrac));
            for (int m = y.low + 1; m < y.high; ++m) {
                const Value* row = rows.row(m);
                s.addPair(at(row, x.low), x.lowWeight, at(row, x.highRead), x.highFrac);
            }
            for (int m = y.low + 1; m < y.high; ++m) {
                const Value* row = rows.row(m);
                for (int l = x.low + 1; l < x.high; ++l)
                    s.addWhole(at(row, l));
            }
        } else if (tall) {
            const float across = x.highFrac - x.lowFrac;
            s.add(at(first, x.low), Sums::product(top, across));
            for (int m = y.low + 1; m < y.high; ++m)
                s.add(at(rows.row(m), x.low), across);
            s.add(at(last, x.low), Sums::product(across, bottom));
        } else if (wide) {
            s.add(at(first, x.low), Sums::product(x.lowWeight, within));
            for (int l = x.low + 1; l < x.high; ++l)
                s.add(at(first, l), within);
            s.add(at(first, x.highRead), Sums::product(within, x.highFrac));
        } else {
            s.add(at(first, x.low), Sums::product(within, x.highFrac - x.lowFrac));
        }
        int rgb[3];
        s.finish(area, rgb);
        writeTexel(rgb, layout, out);
        out += step;
    }
}

// The rows [first, end) of the level, written from `rows` on.
using RowMaker = std::function<void(int first, int end, unsigned char* rows)>;

template <class Sums>
RowMaker boxRows(const unsigned char* rgb, int width, int height, TextureSize size,
                 TexelLayout layout) {
    const std::vector<Span> xs = walk(width, size.width, false);
    std::vector<Span> ys = walk(height, size.height, true);
    std::vector<Column> columns;
    columns.reserve(xs.size());
    for (const Span& x : xs)
        columns.push_back(
            {x.low, x.high, std::min(x.high, width - 1), x.lowFrac, x.highFrac, 1 - x.lowFrac});
    int slots = 1;
    for (const Span& y : ys)
        slots = std::max(slots, y.high - y.low + 1);
    const typename Sums::Weight area =
        Sums::area(float(width) / float(size.width), float(height) / float(size.height));
    const size_t rowBytes = size_t(size.width) * size_t(texelBytes(layout));
    return [=, ys = std::move(ys), columns = std::move(columns)](int first, int end,
                                                                 unsigned char* out) {
        ConvertedRows<Sums> rows(rgb, width, slots);
        for (int i = first; i < end; ++i)
            boxRow(rows, ys[size_t(i)], columns, area, layout, out + size_t(i - first) * rowBytes);
    };
}

// One side's boxes as runs of input pixels with GLU's weights along that side:
// the first pixel's remaining fraction, whole pixels, the last pixel's
// fraction; or, for a box inside one pixel, its width. A box ending exactly on
// the right edge names the pixel after the last with weight 0; it is left out.
struct Taps {
    std::vector<int> first, count, start; // start: index into weights
    std::vector<float> weights;
};

Taps tapsOf(const std::vector<Span>& spans, int in) {
    Taps t;
    for (const Span& s : spans) {
        t.first.push_back(s.low);
        t.start.push_back(int(t.weights.size()));
        if (s.high > s.low) {
            t.weights.push_back(1 - s.lowFrac);
            for (int l = s.low + 1; l < s.high; ++l)
                t.weights.push_back(1.0f);
            if (s.high < in) t.weights.push_back(s.highFrac);
        } else {
            t.weights.push_back(s.highFrac - s.lowFrac);
        }
        t.count.push_back(int(t.weights.size()) - t.start.back());
    }
    return t;
}

// Bits after the binary point of in / out (a power of two), and its numerator
// over that many bits: in / out = numerator / 2^bits.
int fractionBits(int in, int out, int64_t& numerator) {
    int bits = 0;
    while ((int64_t(1) << bits) < out)
        ++bits;
    numerator = in;
    while (bits > 0 && numerator % 2 == 0) {
        numerator /= 2;
        --bits;
    }
    return bits;
}

// GLU's weights are products of a fraction along the rows and one along the
// columns: multiples of 2^-(fx + fy), fx and fy the bits after the point of
// the two steps. Where 255 times a weight (at most 1) and 256 times the area
// (Nx * Ny units) fit in 2^24 units, every product and partial sum GLU forms
// (none exceeds 255 times the area) is exact in float, in either build, and so
// is the area: GLU's sum is the exact box sum. Unless whole, its quotient by
// the area is then at least 1 / (Nx * Ny) >= 2^-16 below the next whole
// number, further than float rounding (at most 2^-17 below 256) can move it:
// the texel is the exact sum over the area rounded down, however the sums are
// ordered. Every common screen size qualifies (1920 x 1080: 11 bits, 2025
// units).
bool sumsAreExact(int width, int height, TextureSize size) {
    int64_t nx, ny;
    const int bits = fractionBits(width, size.width, nx) + fractionBits(height, size.height, ny);
    return bits <= 16 && 256 * nx * ny <= (int64_t(1) << 24);
}

// The box's area, whose quotients are taken without dividing: an estimate
// from the reciprocal is within 2^-15 of the true quotient, so at most one
// off once truncated, and the remainder, exact in float (the quotient times
// the area is at most 256 * Nx * Ny <= 2^24 units), says which way.
struct Area {
    __m128 area, inverse;
    __m128i quotient(__m128 sum) const {
        __m128i q = _mm_cvttps_epi32(_mm_mul_ps(sum, inverse));
        const __m128 rest = _mm_sub_ps(sum, _mm_mul_ps(_mm_cvtepi32_ps(q), area));
        q = _mm_add_epi32(q, _mm_castps_si128(_mm_cmplt_ps(rest, _mm_setzero_ps())));
        return _mm_sub_epi32(q, _mm_castps_si128(_mm_cmpge_ps(rest, area)));
    }
};

// Writes `texels` (up to four) texels from their sums, blue, green, red, spare
// each.
inline void storeTexels(const Area& area, __m128 s0, __m128 s1, __m128 s2, __m128 s3,
                        TexelLayout layout, unsigned char* out, int texels) {
    __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(area.quotient(s0), area.quotient(s1)),
                                     _mm_packs_epi32(area.quotient(s2), area.quotient(s3)));
    if (layout == TexelLayout::Bgra) {
        bytes = _mm_or_si128(bytes, _mm_set1_epi32(int(0xFF000000u)));
        if (texels == 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
            return;
        }
    }
    alignas(16) unsigned char bgrx[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(bgrx), bytes);
    if (layout == TexelLayout::Bgra) {
        std::memcpy(out, bgrx, size_t(texels) * 4);
        return;
    }
    for (int t = 0; t < texels; ++t, out += 3) {
        out[0] = bgrx[4 * t + 2];
        out[1] = bgrx[4 * t + 1];
        out[2] = bgrx[4 * t];
    }
}

// The columns of every texel's box, each padded with zero weights to the
// widest box so that one loop serves all (adding an exact 0 changes no exact
// sum): offsets into a row of values, weights four times over per tap.
struct Across {
    int taps = 1;
    std::vector<int> offsets;
    std::vector<float> weights;
};

Across acrossOf(const Taps& xs) {
    Across a;
    for (int count : xs.count)
        a.taps = std::max(a.taps, count);
    for (size_t j = 0; j < xs.count.size(); ++j) {
        a.offsets.push_back(xs.first[j] * 3);
        for (int k = 0; k < a.taps; ++k) {
            const float w = k < xs.count[j] ? xs.weights[size_t(xs.start[j] + k)] : 0.0f;
            a.weights.insert(a.weights.end(), {w, w, w, w});
        }
    }
    return a;
}

// Sums a row of texels across their boxes' columns; kTaps 0: a.taps of them.
template <int kTaps>
void acrossRow(const float* column, const Across& a, const Area& area, TexelLayout layout,
               unsigned char* out) {
    const int taps = kTaps ? kTaps : a.taps;
    const int texels = int(a.offsets.size());
    const int step = texelBytes(layout);
    const float* w = a.weights.data();
    const int* offset = a.offsets.data();
    // One texel's sum, blue first as texels are stored.
    auto texel = [&]() {
        const float* v = column + *offset++;
        __m128 sum = _mm_mul_ps(_mm_loadu_ps(v), _mm_loadu_ps(w));
        for (int k = 1; k < taps; ++k)
            sum = _mm_add_ps(sum, _mm_mul_ps(_mm_loadu_ps(v + 3 * k), _mm_loadu_ps(w + 4 * k)));
        w += 4 * taps;
        return _mm_shuffle_ps(sum, sum, _MM_SHUFFLE(3, 0, 1, 2));
    };
    int j = 0;
    for (; j + 4 <= texels; j += 4, out += 4 * step) {
        const __m128 s0 = texel(), s1 = texel(), s2 = texel(), s3 = texel();
        storeTexels(area, s0, s1, s2, s3, layout, out, 4);
    }
    if (j < texels) {
        __m128 s[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
        for (int t = 0; t < texels - j; ++t)
            s[t] = texel();
        storeTexels(area, s[0], s[1], s[2], s[3], layout, out, texels - j);
    }
}

// The box filter where its sums are exact (sumsAreExact): the same texels by
// rows first, then columns, in SSE2 floats.
RowMaker exactRows(const unsigned char* rgb, int width, int height, TextureSize size,
                   TexelLayout layout) {
    Across across = acrossOf(tapsOf(walk(width, size.width, false), width));
    Taps ys = tapsOf(walk(height, size.height, true), height);
    const float area = float(width) / float(size.width) * (float(height) / float(size.height));
    const size_t values = size_t(width) * 3;
    const size_t rowBytes = size_t(size.width) * size_t(texelBytes(layout));
    return [=, across = std::move(across), ys = std::move(ys)](int first, int end,
                                                               unsigned char* out) {
        // Spare values past the row: a texel at the edge loads a few more,
        // with weight 0.
        std::vector<float> column(values + 3 * size_t(across.taps) + 1, 0.0f);
        std::vector<const unsigned char*> rows;
        std::vector<float> weights;
        const __m128i zero = _mm_setzero_si128();
        for (int i = first; i < end; ++i) {
            // Down the box's rows: each input value weighted and summed.
            const size_t y = size_t(i);
            const int taps = ys.count[y];
            rows.clear();
            weights.clear();
            for (int k = 0; k < taps; ++k) {
                rows.push_back(rgb + size_t(ys.first[y] + k) * values);
                weights.push_back(ys.weights[size_t(ys.start[y] + k)]);
            }
            size_t c = 0;
            for (; c + 16 <= values; c += 16) {
                __m128 sum[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(),
                                 _mm_setzero_ps()};
                for (int k = 0; k < taps; ++k) {
                    const __m128 wk = _mm_set1_ps(weights[size_t(k)]);
                    const __m128i bytes =
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[size_t(k)] + c));
                    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
                    const __m128i high = _mm_unpackhi_epi8(bytes, zero);
                    const __m128i words[4] = {
                        _mm_unpacklo_epi16(low, zero), _mm_unpackhi_epi16(low, zero),
                        _mm_unpacklo_epi16(high, zero), _mm_unpackhi_epi16(high, zero)};
                    for (int q = 0; q < 4; ++q)
                        sum[q] = _mm_add_ps(sum[q], _mm_mul_ps(_mm_cvtepi32_ps(words[q]), wk));
                }
                for (int q = 0; q < 4; ++q)
                    _mm_storeu_ps(&column[c + 4 * size_t(q)], sum[q]);
            }
            for (; c < values; ++c) {
                float sum = 0;
                for (int k = 0; k < taps; ++k)
                    sum += float(rows[size_t(k)][c]) * weights[size_t(k)];
                column[c] = sum;
            }
            // Across the box's columns, then over the area.
            unsigned char* o = out + size_t(i - first) * rowBytes;
            const Area boxArea = {_mm_set1_ps(area), _mm_set1_ps(1 / area)};
            switch (across.taps) {
            case 1:
                acrossRow<1>(column.data(), across, boxArea, layout, o);
                break;
            case 2:
                acrossRow<2>(column.data(), across, boxArea, layout, o);
                break;
            case 3:
                acrossRow<3>(column.data(), across, boxArea, layout, o);
                break;
            default:
                acrossRow<0>(column.data(), across, boxArea, layout, o);
                break;
            }
        }
    };
}

// GLU's own average when both sides halve: rounded, in integers.
RowMaker halfRows(const unsigned char* rgb, int width, TextureSize size, TexelLayout layout) {
    const size_t inRow = size_t(width) * 3;
    const int step = texelBytes(layout);
    return [=](int first, int end, unsigned char* o) {
        for (int i = first; i < end; ++i) {
            const unsigned char* p = rgb + size_t(2 * i) * inRow;
            for (int j = 0; j < size.width; ++j, p += 6, o += step) {
                int texel[3];
                for (int k = 0; k < 3; ++k)
                    texel[k] = (p[k] + p[k + 3] + p[inRow + k] + p[inRow + k + 3] + 2) / 4;
                writeTexel(texel, layout, o);
            }
        }
    };
}

RowMaker copyRows(const unsigned char* rgb, int width, TexelLayout layout) {
    const size_t pixels = size_t(width);
    return [=](int first, int end, unsigned char* o) {
        const unsigned char* p = rgb + size_t(first) * pixels * 3;
        const size_t count = size_t(end - first) * pixels;
        if (layout == TexelLayout::Rgb) {
            std::memcpy(o, p, count * 3);
            return;
        }
        for (size_t i = 0; i < count; ++i, p += 3, o += 4) {
            const int texel[3] = {p[0], p[1], p[2]};
            writeTexel(texel, layout, o);
        }
    };
}

RowMaker levelRows(const unsigned char* rgb, int width, int height, TextureSize size,
                   TexelLayout layout, BoxArithmetic arithmetic) {
    if (width == size.width && height == size.height) return copyRows(rgb, width, layout);
    if (width == 2 * size.width && height == 2 * size.height)
        return halfRows(rgb, width, size, layout);
    if (sumsAreExact(width, height, size)) return exactRows(rgb, width, height, size, layout);
    if (arithmetic == BoxArithmetic::X87Registers)
        return boxRows<X87Sums>(rgb, width, height, size, layout);
    return boxRows<FloatSums>(rgb, width, height, size, layout);
}

} // namespace

void scaleToTexture(const unsigned char* rgb, int width, int height, TextureSize size,
                    TexelLayout layout, BoxArithmetic arithmetic, int threads,
                    const std::function<void()>& meanwhile, const LevelBand& deliver) {
    const size_t rowBytes = size_t(size.width) * size_t(texelBytes(layout));
    // Bands of about a quarter of a megabyte: a few of them go round, where a
    // whole level would cost a page fault every 4 kB.
    const int band = int(std::clamp<size_t>((size_t(1) << 18) / rowBytes, 1, size_t(size.height)));
    pipeRows(size.height, band, rowBytes, threads,
             levelRows(rgb, width, height, size, layout, arithmetic), meanwhile, deliver);
}

void scaleToTexture(const unsigned char* rgb, int width, int height, TextureSize size,
                    TexelLayout layout, BoxArithmetic arithmetic, unsigned char* out, int threads) {
    const size_t rowBytes = size_t(size.width) * size_t(texelBytes(layout));
    const RowMaker make = levelRows(rgb, width, height, size, layout, arithmetic);
    splitRows(size.height, threads,
              [&](int first, int end) { make(first, end, out + size_t(first) * rowBytes); });
}
