// The note that tells the user the way out: when it shows, how strongly, and
// the picture of it. Platform-free: the clock is any monotonic one in
// milliseconds, and the text arrives as the coverage GDI drew it.
#pragma once

#include <cstdint>
#include <vector>

// The user's input while the cloth shows brings the note up. It stays a
// while, fades, and comes again only at input after it has gone: input while
// it shows neither holds nor restarts it.
class EscapeNote {
  public:
    static constexpr int64_t kFadeInMs = 200;
    static constexpr int64_t kFadeOutFromMs = 3000; // after input, full strength until then
    static constexpr int64_t kGoneMs = 3700;

    // The pointer is at (x, y) on the screen. The system reports a move also
    // when a window appears or is restacked under a still pointer, so only a
    // move to somewhere else is the user's; the first report only says where
    // the pointer is.
    void pointerAt(int x, int y, int64_t nowMs);
    // A click or a key.
    void input(int64_t nowMs);
    // From 0 (not shown) to 1.
    float alpha(int64_t nowMs) const;

  private:
    bool placed_ = false;
    int x_ = 0, y_ = 0;
    bool shown_ = false;
    int64_t since_ = 0;
};

// The note's band as premultiplied RGBA texels, `width` by `height` rows top
// down, inside a texture `stride` texels wide (the rest of it stays
// transparent): light text of the given coverage (one byte a texel, 0 to
// 255, same layout as the band) over a dark translucent band with round
// ends, antialiased.
std::vector<uint8_t> NoteTexels(const std::vector<uint8_t>& coverage, int width, int height,
                                int stride, int rows);
