#include "renderer/escape_note.h"

#include <algorithm>
#include <cmath>

void EscapeNote::pointerAt(int x, int y, int64_t nowMs) {
    const bool moved = placed_ && (x != x_ || y != y_);
    placed_ = true;
    x_ = x;
    y_ = y;
    if (moved) input(nowMs);
}

void EscapeNote::input(int64_t nowMs) {
    // A clock that ran backwards cannot say whether the note is still up.
    if (shown_ && nowMs >= since_ && nowMs - since_ < kGoneMs) return;
    shown_ = true;
    since_ = nowMs;
}

float EscapeNote::alpha(int64_t nowMs) const {
    if (!shown_ || nowMs < since_) return 0.0f;
    const int64_t t = nowMs - since_;
    if (t < kFadeInMs) return float(t) / float(kFadeInMs);
    if (t < kFadeOutFromMs) return 1.0f;
    if (t < kGoneMs) return float(kGoneMs - t) / float(kGoneMs - kFadeOutFromMs);
    return 0.0f;
}

namespace {

// Dark enough under white text on a white picture, light enough to keep the
// cloth in sight behind it.
constexpr float kBandAlpha = 0.62f;

// How much of the texel centred at (x, y) the band covers: a rectangle whose
// short sides are half circles.
float bandCoverage(float x, float y, int width, int height) {
    const float radius = float(height) * 0.5f;
    const float cx = std::min(std::max(x, radius), float(width) - radius);
    const float dx = x - cx, dy = y - radius;
    return std::min(std::max(radius - std::sqrt(dx * dx + dy * dy) + 0.5f, 0.0f), 1.0f);
}

} // namespace

std::vector<uint8_t> NoteTexels(const std::vector<uint8_t>& coverage, int width, int height,
                                int stride, int rows) {
    std::vector<uint8_t> texels(size_t(stride) * size_t(rows) * 4, 0);
    for (int y = 0; y < height && y < rows; ++y)
        for (int x = 0; x < width && x < stride; ++x) {
            const float text = float(coverage[size_t(y) * size_t(width) + size_t(x)]) / 255.0f;
            const float band =
                kBandAlpha * bandCoverage(float(x) + 0.5f, float(y) + 0.5f, width, height);
            // White text over the black band, premultiplied.
            const float a = text + band * (1.0f - text);
            uint8_t* t = &texels[(size_t(y) * size_t(stride) + size_t(x)) * 4];
            t[0] = t[1] = t[2] = uint8_t(std::lround(text * 255.0f));
            t[3] = uint8_t(std::lround(a * 255.0f));
        }
    return texels;
}
