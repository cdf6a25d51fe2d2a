#include <gtest/gtest.h>

#include "dpi_scale.h"

namespace velumira {
namespace {

TEST(Scale, TwipsAndPixelsAtTheCommonDpis) {
    // At 96 dpi every length on the form's grid is exactly twips / 15.
    for (int twips = -7350; twips <= 7350; twips += 15)
        ASSERT_EQ(TwipsToPixels(twips, 96), twips / 15) << twips;
    struct Case {
        int dpi, clientW, clientH, label, font, line, shadow, corner, mark;
    };
    // dpi: the dialog's client area 7350 x 3585 twips, a label 195 twips
    // high and its 9.75 pt font, and a line, the default shadow depth (5)
    // and corner (10) and the 12-pixel option mark as drawn at 96 dpi.
    const Case cases[] = {{96, 490, 239, 13, 13, 1, 5, 10, 12},
                          {120, 613, 299, 16, 16, 1, 6, 13, 15},
                          {144, 735, 359, 20, 19, 2, 8, 15, 18},
                          {192, 980, 478, 26, 26, 2, 10, 20, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(TwipsToPixels(7350, c.dpi), c.clientW);
        EXPECT_EQ(TwipsToPixels(3585, c.dpi), c.clientH);
        EXPECT_EQ(TwipsToPixels(195, c.dpi), c.label);
        EXPECT_EQ(FontHeightPixels(9.75, c.dpi), c.font);
        EXPECT_EQ(LineWidth(c.dpi), c.line);
        EXPECT_EQ(ScalePixels(5, c.dpi), c.shadow);
        EXPECT_EQ(ScalePixels(10, c.dpi), c.corner);
        EXPECT_EQ(ScalePixels(12, c.dpi), c.mark);
    }
    EXPECT_EQ(LineWidth(72), 1) << "never thinner than a pixel";
    EXPECT_EQ(FontHeightPixels(8.0, 96), 11) << "10.67 rounds to nearest at 96 dpi";
    EXPECT_EQ(FontHeightPixels(8.0, 144), 16);
}

} // namespace
} // namespace velumira
