// The texture's level 0 against a slow model of GLU's box filter, written the
// way GLU walks a picture (one texel after the other, each component on its
// own, its weights computed in place) with the arithmetic of each GLU build:
// x87 registers modelled by long double, stores by float; or float throughout.
// Under Wine, gl_test_win.cpp holds the result against GLU itself.
#include "texture/texture_level.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Reg is the type GLU's intermediate values live in.
template <typename Reg> Bytes modelBox(const Bytes& in, int win, int hin, int wout, int hout) {
    const bool x87 = sizeof(Reg) > sizeof(float);
    auto pixel = [&](int row, int col, int k) -> Reg {
        // A box that ends exactly on the right edge names the pixel after it,
        // with weight 0.
        return col < win ? Reg(in[(size_t(row) * win + col) * 3 + k]) : Reg(0);
    };
    const float convy = float(hin) / float(hout), convx = float(win) / float(wout);
    const int convyInt = int(std::floor(convy)), convxInt = int(std::floor(convx));
    const float convyFrac = convy - float(convyInt), convxFrac = convx - float(convxInt);
    const Reg area = Reg(convx) * Reg(convy);
    // The box's end moves on by the step; its start follows.
    auto advance = [](int& low, float& lowF, int& high, float& highF, int whole, float frac) {
        low = high;
        lowF = highF;
        high += whole;
        highF += frac;
        if (highF > 1) {
            highF -= 1;
            ++high;
        }
    };
    Bytes out(size_t(wout) * hout * 3);
    int lowy = 0, highy = convyInt;
    float lowyF = 0, highyF = convyFrac;
    for (int i = 0; i < hout; ++i) {
        if (highy >= hin) highy = hin - 1;
        int lowx = 0, highx = convxInt;
        float lowxF = 0, highxF = convxFrac;
        for (int j = 0; j < wout; ++j) {
            for (int k = 0; k < 3; ++k) {
                float total = 0;
                auto add = [&](int row, int col, Reg w) {
                    total = float(Reg(total) + pixel(row, col, k) * w);
                };
                if (highy > lowy && highx > lowx) {
                    const Reg top = Reg(1) - Reg(lowyF);
                    const Reg corner = Reg(top * (Reg(1) - Reg(lowxF)));
                    add(lowy, lowx, x87 ? Reg(float(corner)) : corner);
                    for (int l = lowx + 1; l < highx; ++l)
                        add(lowy, l, top);
                    add(lowy, highx, top * Reg(highxF));
                    add(highy, lowx, Reg(highyF) * (Reg(1) - Reg(lowxF)));
                    for (int l = lowx + 1; l < highx; ++l)
                        add(highy, l, Reg(highyF));
                    add(highy, highx, Reg(highyF) * Reg(highxF));
                    for (int m = lowy + 1; m < highy; ++m)
                        total = float(Reg(total) + (pixel(m, lowx, k) * (Reg(1) - Reg(lowxF)) +
                                                    pixel(m, highx, k) * Reg(highxF)));
                } else if (highy > lowy) {
                    const Reg across = Reg(highxF) - Reg(lowxF);
                    add(lowy, lowx, (Reg(1) - Reg(lowyF)) * across);
                    for (int m = lowy + 1; m < highy; ++m)
                        add(m, lowx, across);
                    add(highy, lowx, across * Reg(highyF));
                } else if (highx > lowx) {
                    const Reg down = Reg(highyF) - Reg(lowyF);
                    add(lowy, lowx, (Reg(1) - Reg(lowxF)) * down);
                    for (int l = lowx + 1; l < highx; ++l)
                        add(lowy, l, down);
                    add(lowy, highx, down * Reg(highxF));
                } else {
                    add(lowy, lowx, (Reg(highyF) - Reg(lowyF)) * (Reg(highxF) - Reg(lowxF)));
                }
                for (int m = lowy + 1; m < highy; ++m)
                    for (int l = lowx + 1; l < highx; ++l)
                        total = float(Reg(total) + pixel(m, l, k));
                out[(size_t(i) * wout + j) * 3 + k] = (unsigned char)int(Reg(total) / area);
            }
            advance(lowx, lowxF, highx, highxF, convxInt, convxFrac);
        }
        advance(lowy, lowyF, highy, highyF, convyInt, convyFrac);
    }
    return out;
}

Bytes modelLevel(const Bytes& in, int win, int hin, TextureSize size, BoxArithmetic arithmetic) {
    if (win == size.width && hin == size.height) return in;
    if (win == 2 * size.width && hin == 2 * size.height) {
        Bytes out;
        for (int i = 0; i < size.height; ++i)
            for (int j = 0; j < size.width; ++j)
                for (int k = 0; k < 3; ++k) {
                    auto p = [&](int y, int x) { return in[(size_t(y) * win + x) * 3 + k]; };
                    out.push_back(
                        (unsigned char)((p(2 * i, 2 * j) + p(2 * i, 2 * j + 1) +
                                         p(2 * i + 1, 2 * j) + p(2 * i + 1, 2 * j + 1) + 2) /
                                        4));
                }
        return out;
    }
    return arithmetic == BoxArithmetic::X87Registers
               ? modelBox<long double>(in, win, hin, size.width, size.height)
               : modelBox<float>(in, win, hin, size.width, size.height);
}

Bytes noise(int width, int height, uint32_t seed) {
    Bytes p(size_t(width) * height * 3);
    for (unsigned char& c : p) {
        seed = seed * 1664525u + 1013904223u;
        c = (unsigned char)(seed >> 24);
    }
    // Saturated stretches, where sums land next to whole numbers.
    for (size_t i = 0; i < p.size() / 4; ++i)
        p[i] = 255;
    return p;
}

TEST(TextureLevel, EqualsTheModelOfGlusBoxForEveryShapeAndBothArithmetics) {
    struct Case {
        int width, height;
        TextureSize size;
    };
    const Case cases[] = {
        // Sums that stay exact in float, as on every common screen.
        {1, 1, {1, 1}},
        {3, 5, {4, 4}},
        {1, 7, {1, 8}},
        {7, 1, {8, 1}},
        {1024, 37, {1024, 32}},
        {37, 64, {32, 64}},
        {1366, 24, {1024, 16}},
        {1920, 33, {2048, 32}},
        {1366, 768, {1024, 1024}},
        {8, 5, {4, 4}},
        {5, 8, {4, 4}},
        {13, 11, {2, 2}},
        {3, 3, {8, 8}},
        // Both sides halved; and sums that round, in each build its own way.
        {8, 8, {4, 4}},
        {1023, 67, {1024, 64}},
        {517, 515, {512, 512}},
        {1531, 1021, {512, 256}},
    };
    for (const Case& c : cases) {
        const Bytes picture = noise(c.width, c.height, uint32_t(c.width * 7919 + c.height));
        for (BoxArithmetic arithmetic : {BoxArithmetic::X87Registers, BoxArithmetic::FloatSteps}) {
            SCOPED_TRACE(testing::Message()
                         << c.width << "x" << c.height << " to " << c.size.width << "x"
                         << c.size.height << ", arithmetic " << int(arithmetic));
            const Bytes expected = modelLevel(picture, c.width, c.height, c.size, arithmetic);
            const size_t texels = size_t(c.size.width) * c.size.height;
            for (int threads : {1, 3}) {
                Bytes rgb(texels * 3), bgra(texels * 4);
                scaleToTexture(picture.data(), c.width, c.height, c.size, TexelLayout::Rgb,
                               arithmetic, rgb.data(), threads);
                ASSERT_EQ(rgb, expected) << threads << " threads";
                // In bands, each once, on this thread, after `meanwhile` ran here.
                const std::thread::id caller = std::this_thread::get_id();
                int meanwhile = 0;
                std::vector<int> deliveries(size_t(c.size.height), 0);
                scaleToTexture(
                    picture.data(), c.width, c.height, c.size, TexelLayout::Bgra, arithmetic,
                    threads, [&] { meanwhile += std::this_thread::get_id() == caller ? 1 : 100; },
                    [&](int first, int end, const unsigned char* texels) {
                        EXPECT_EQ(meanwhile, 1);
                        EXPECT_EQ(std::this_thread::get_id(), caller);
                        std::memcpy(&bgra[size_t(first) * c.size.width * 4], texels,
                                    size_t(end - first) * c.size.width * 4);
                        for (int row = first; row < end; ++row)
                            ++deliveries[size_t(row)];
                    });
                EXPECT_EQ(deliveries, std::vector<int>(size_t(c.size.height), 1));
                for (size_t t = 0; t < texels; ++t) {
                    const unsigned char want[4] = {expected[3 * t + 2], expected[3 * t + 1],
                                                   expected[3 * t], 255};
                    ASSERT_EQ(0, std::memcmp(&bgra[4 * t], want, 4)) << "texel " << t;
                }
            }
        }
    }
}

// Where the height needs no scaling, GLU's last box row has no height: the
// picture's top row comes out black, and the cloth's texture coordinates stop
// short of it.
TEST(TextureLevel, TopRowOfAnUnscaledHeightIsBlack) {
    const Bytes white(size_t(6) * 4 * 3, 255);
    Bytes out(size_t(8) * 4 * 3);
    scaleToTexture(white.data(), 6, 4, {8, 4}, TexelLayout::Rgb, BoxArithmetic::X87Registers,
                   out.data(), 1);
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_EQ(out[i], i >= 8 * 3 * 3 ? 0 : 255) << i;
}

// GLU's size choice: its own "nearest" power of two, halved while the
// implementation refuses, the largest size where there is nothing to ask.
TEST(TextureLevel, SizeIsGlusPowerOfTwoHalvedUntilItFits) {
    const int powers[][2] = {{1, 1},       {2, 2},       {3, 4},       {5, 4},       {6, 8},
                             {767, 512},   {768, 1024},  {1080, 1024}, {1366, 1024}, {1440, 1024},
                             {1920, 2048}, {2160, 2048}, {2560, 2048}, {3840, 4096}};
    for (const auto& p : powers)
        EXPECT_EQ(gluPowerOfTwo(p[0]), p[1]) << p[0];

    struct Limits : TextureLimits {
        bool proxies = true;
        bool refuseAll = false;
        int largest = 4096;
        std::vector<TextureSize> asked;
        bool hasProxies() override { return proxies; }
        bool fitsAtLevelOne(int w, int h) override {
            asked.push_back({w, h});
            return !refuseAll && 2 * w <= largest && 2 * h <= largest;
        }
        int maxTextureSize() override { return largest; }
    };
    auto choose = [](Limits& limits, int w, int h) {
        const TextureSize s = chooseTextureSize(w, h, limits);
        return std::vector<int>{s.width, s.height};
    };
    Limits limits;
    EXPECT_EQ(choose(limits, 3840, 2160), (std::vector<int>{4096, 2048}));
    ASSERT_EQ(limits.asked.size(), 1u);
    EXPECT_EQ(limits.asked[0].width, 2048);
    EXPECT_EQ(limits.asked[0].height, 1024);
    // Both sides halve together, each stopping at 1.
    EXPECT_EQ(choose(limits, 7000, 3), (std::vector<int>{4096, 2}));
    limits.largest = 2048;
    EXPECT_EQ(choose(limits, 7000, 3000), (std::vector<int>{2048, 512}));
    // Even 1 x 1 refused, or no proxies: each side clamped to the largest.
    limits.refuseAll = true;
    EXPECT_EQ(choose(limits, 7000, 3), (std::vector<int>{2048, 4}));
    limits.refuseAll = false;
    limits.proxies = false;
    limits.asked.clear();
    EXPECT_EQ(choose(limits, 7000, 1000), (std::vector<int>{2048, 1024}));
    EXPECT_TRUE(limits.asked.empty());
}

} // namespace
