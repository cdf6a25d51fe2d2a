#include "canvas.h"
#include "dpi_scale.h"
#include "velumira_p_form.h"
#include "velumira_p_pictures.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace velumira;

const Language kLanguages[] = {Language::Japanese, Language::English};

TEST(VelumiraPForm, EveryContainerIsBuiltBeforeWhatItHolds) {
    for (Language language : kLanguages) {
        const FormDescription& form = VelumiraPForm(language);
        std::set<std::pair<std::string, int>> seen;
        for (const FormControl& c : form.controls) {
            if (!c.container.empty()) {
                const FormControl* container = FindFormControl(form, c.container);
                ASSERT_NE(container, nullptr) << c.name;
                EXPECT_EQ(container->kind, FormControlKind::Frame) << c.name;
                EXPECT_TRUE(seen.count({c.container, -1})) << c.name << " before its container";
            }
            EXPECT_TRUE(seen.insert({c.name, c.index}).second) << c.name << " twice";
        }
    }
}

TEST(VelumiraPForm, ControlsLieInsideTheirContainersExceptThePictureTemplates) {
    for (Language language : kLanguages) {
        const FormDescription& form = VelumiraPForm(language);
        for (const FormControl& c : form.controls) {
            int width = form.clientWidth, height = form.clientHeight;
            if (const FormControl* container = FindFormControl(form, c.container)) {
                width = container->width;
                height = container->height;
            }
            const bool inside = c.left >= 0 && c.top >= 0 && c.left + c.width <= width &&
                                c.top + c.height <= height;
            EXPECT_EQ(inside, c.name != "Img_Ra") << c.name << "(" << c.index << ")";
            // On the 15-twip grid, so that at 96 dpi every edge is a whole pixel.
            for (int twips : {c.left, c.top, c.width, c.height})
                EXPECT_EQ(twips % kBaseTwipsPerPixel, 0) << c.name;
        }
        EXPECT_EQ(form.clientWidth % kBaseTwipsPerPixel, 0);
        EXPECT_EQ(form.clientHeight % kBaseTwipsPerPixel, 0);
    }
}

TEST(VelumiraPForm, OptionArraysAreIndexedByKind) {
    const char* const captions[2][3] = {{u8"なし", u8"音楽CD", u8"MP3、WAV"},
                                        {"None", "Audio CD", "MP3 or WAV file"}};
    for (Language language : kLanguages) {
        const FormDescription& form = VelumiraPForm(language);
        for (int kind = 0; kind < 3; ++kind) {
            const FormControl* label = FindFormControl(form, "lbl_BGM", kind);
            const FormControl* image = FindFormControl(form, "Img_BGM", kind);
            ASSERT_TRUE(label && image);
            EXPECT_EQ(label->properties.readString("Caption", ""),
                      captions[language == Language::English][kind]);
            EXPECT_EQ(label->top, image->top) << "mark and text share a row";
        }
        EXPECT_EQ(OptionsTopDown(form), OptionsTopDown(VelumiraPForm(Language::Japanese)));
    }
    // Top to bottom: 音楽CD, なし, MP3、WAV; the arrows go round.
    const std::vector<int> order = OptionsTopDown(VelumiraPForm(Language::Japanese));
    ASSERT_EQ(order, (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(OptionAfter(order, 0, -1), 1);
    EXPECT_EQ(OptionAfter(order, 0, 1), 2);
    EXPECT_EQ(OptionAfter(order, 2, 1), 1);
    EXPECT_EQ(OptionAfter(order, 1, -1), 2);
    EXPECT_EQ(OptionAfter(order, 1, 0), 1);
    EXPECT_EQ(OptionAfter(order, 5, 0), 1) << "no option selected: the top one";
}

TEST(OptionPictures, TwelveByTwelveAndDifferOnlyInTheDot) {
    const Picture* off = BuiltInPicture("OptionOff");
    const Picture* on = BuiltInPicture("OptionOn");
    ASSERT_TRUE(off && on);
    EXPECT_EQ(BuiltInPicture(""), nullptr);
    for (const Picture* p : {off, on}) {
        EXPECT_EQ(p->width, 12);
        EXPECT_EQ(p->height, 12);
        ASSERT_EQ(p->pixels.size(), 144u);
        EXPECT_EQ(p->alpha[0], 0) << "corners show the background";
    }
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const size_t i = static_cast<size_t>(y) * 12 + x;
            const bool centre = x >= 4 && x < 8 && y >= 4 && y < 8;
            EXPECT_EQ(off->alpha[i], on->alpha[i]);
            if (!centre) {
                EXPECT_EQ(off->pixels[i], on->pixels[i]) << x << "," << y;
            }
        }
    EXPECT_NE(off->pixels[6 * 12 + 6], on->pixels[6 * 12 + 6]);

    // At 96 dpi unchanged; at 144 dpi 18 x 18, round and symmetric, open
    // at the corners, solid inside, the dot only in the selected one.
    const Picture same = PictureAt(*on, 96);
    EXPECT_EQ(same.pixels, on->pixels);
    EXPECT_EQ(same.alpha, on->alpha);
    for (const Picture* p : {off, on}) {
        const Picture big = PictureAt(*p, 144);
        ASSERT_EQ(big.width, 18);
        ASSERT_EQ(big.height, 18);
        ASSERT_EQ(big.alpha.size(), 324u);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 18; ++x)
                EXPECT_EQ(big.alpha[y * 18u + x], big.alpha[y * 18u + 17 - x]) << x << "," << y;
        EXPECT_EQ(big.alpha[0], 0);
        EXPECT_EQ(big.alpha[9 * 18 + 0], 255) << "the rim at the middle of the left edge";
        EXPECT_EQ(big.pixels[9 * 18 + 0], off->pixels[6 * 12 + 0]);
        EXPECT_EQ(big.pixels[9 * 18 + 9], p->pixels[6 * 12 + 6]) << "the middle";
    }
    EXPECT_EQ(Over(Rgb(0, 100, 200), Rgb(200, 100, 0), 128), Rgb(100, 100, 100));
}
