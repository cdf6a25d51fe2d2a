// The note's life from the user's input to its fade, and its picture.
#include "renderer/escape_note.h"

#include <gtest/gtest.h>

namespace {

TEST(EscapeNote, ShowsOnlyForTheUsersInputThenFadesAndComesAgainOnlyAfterItHasGone) {
    EscapeNote note;
    EXPECT_EQ(note.alpha(0), 0.0f);
    // The window appearing and being restacked under a still pointer.
    note.pointerAt(500, 300, 100);
    note.pointerAt(500, 300, 900);
    note.pointerAt(500, 300, 5000);
    EXPECT_EQ(note.alpha(5000), 0.0f);
    EXPECT_EQ(note.alpha(60000), 0.0f);

    note.pointerAt(501, 300, 10000);
    EXPECT_EQ(note.alpha(10000), 0.0f) << "it fades in";
    EXPECT_GT(note.alpha(10100), 0.0f);
    EXPECT_LT(note.alpha(10100), 1.0f);
    EXPECT_EQ(note.alpha(10000 + EscapeNote::kFadeInMs), 1.0f);
    // More input while it shows neither holds nor restarts it.
    note.pointerAt(640, 200, 11000);
    note.input(12500);
    EXPECT_EQ(note.alpha(12999), 1.0f);
    const float early = note.alpha(13200), late = note.alpha(13500);
    EXPECT_GT(early, late);
    EXPECT_GT(late, 0.0f);
    EXPECT_EQ(note.alpha(10000 + EscapeNote::kGoneMs), 0.0f);
    EXPECT_EQ(note.alpha(30000), 0.0f) << "gone until the next input";

    note.input(30000); // a key
    EXPECT_EQ(note.alpha(30000 + EscapeNote::kFadeInMs), 1.0f);
    // A pointer back where it was is still a move.
    note.pointerAt(500, 300, 40000);
    note.pointerAt(640, 200, 40000);
    EXPECT_EQ(note.alpha(40000 + EscapeNote::kFadeInMs), 1.0f);
}

TEST(EscapeNote, AClockThatRanBackwardsShowsNothingItCannotTime) {
    EscapeNote note;
    note.input(50000);
    EXPECT_EQ(note.alpha(49000), 0.0f);
    // Input on the earlier clock starts the note there.
    note.input(1000);
    EXPECT_EQ(note.alpha(1000 + EscapeNote::kFadeInMs), 1.0f);
    EXPECT_EQ(note.alpha(1000 + EscapeNote::kGoneMs), 0.0f);
}

TEST(NoteTexels, LightTextOnADarkTranslucentBandWithRoundEndsInsideATransparentTexture) {
    const int width = 40, height = 10, stride = 64, rows = 16;
    std::vector<uint8_t> coverage(size_t(width * height), 0);
    coverage[5 * width + 20] = 255; // a stroke of the text
    coverage[5 * width + 21] = 128; // its antialiased edge
    const std::vector<uint8_t> t = NoteTexels(coverage, width, height, stride, rows);
    ASSERT_EQ(t.size(), size_t(stride * rows * 4));
    auto at = [&](int x, int y) { return &t[size_t((y * stride + x) * 4)]; };

    const uint8_t* text = at(20, 5);
    EXPECT_EQ(text[0], 255);
    EXPECT_EQ(text[3], 255);
    const uint8_t* edge = at(21, 5);
    EXPECT_EQ(edge[0], 128);
    EXPECT_GT(edge[3], edge[0]) << "the band shows through the text's edge";
    EXPECT_LT(edge[3], 255);
    // The band: black, translucent, the same all along its middle.
    for (int x : {5, 10, 30, 34}) {
        const uint8_t* band = at(x, 5);
        EXPECT_EQ(band[0], 0);
        EXPECT_EQ(band[2], 0);
        EXPECT_GT(band[3], 110);
        EXPECT_LT(band[3], 200);
        EXPECT_EQ(band[3], at(10, 5)[3]);
    }
    // Round ends: the box's corners are clear, and the outline's edge is soft.
    EXPECT_EQ(at(0, 0)[3], 0);
    EXPECT_EQ(at(width - 1, height - 1)[3], 0);
    EXPECT_GT(at(0, 3)[3], 0);
    EXPECT_LT(at(0, 3)[3], at(10, 5)[3]);
    // Beyond the band the texture is transparent.
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < stride; ++x)
            if (x >= width || y >= height) {
                ASSERT_EQ(at(x, y)[3], 0) << x << "," << y;
            }
}

} // namespace
