#include <gtest/gtest.h>

#include "property_bag.h"

namespace velumira {
namespace {

TEST(PropertyBag, TypedReadsFallBackToDefaults) {
    PropertyBag bag{{"Count", "12"},
                    {"Flag", "False"},
                    {"Colour", "0x00E0E0E0"},
                    {"Bad", "12x"},
                    {"Neg", "-3"}};
    EXPECT_EQ(bag.readInt("Count", 0), 12);
    EXPECT_EQ(bag.readInt("Neg", 0), -3);
    EXPECT_EQ(bag.readInt("Bad", 7), 7);
    EXPECT_EQ(bag.readInt("Missing", 7), 7);
    EXPECT_FALSE(bag.readBool("Flag", true));
    EXPECT_TRUE(bag.readBool("Missing", true));
    EXPECT_EQ(bag.readColour("Colour", 0), 0xE0E0E0u);
    EXPECT_EQ(bag.readColour("Neg", 5), 5u);
    EXPECT_EQ(bag.readString("Missing", "&OK"), "&OK");
}

TEST(PropertyBag, WritesOmitDefaultsAndKeepOrder) {
    PropertyBag bag;
    bag.writeString("Caption", "&Save", "&OK");
    bag.writeBool("Enabled", true, true);
    bag.writeColour("ForeColor", 0xFF, 0);
    bag.writeFont("Font", FontDesc{});
    ASSERT_EQ(bag.entries().size(), 3u);
    EXPECT_EQ(bag.entries()[0].first, "Caption");
    EXPECT_EQ(bag.entries()[1].first, "ForeColor");
    EXPECT_EQ(bag.entries()[1].second, "0x000000FF");
    EXPECT_EQ(bag.entries()[2].first, "Font");
    // Writing the default again removes what was stored.
    bag.writeString("Caption", "&OK", "&OK");
    EXPECT_FALSE(bag.has("Caption"));
}

TEST(FontDesc, TextRoundTripAndDamagedFields) {
    FontDesc f;
    f.name = "MS Gothic";
    f.size = 9.75f;
    f.weight = 700;
    f.italic = true;
    f.charset = 128;
    EXPECT_EQ(FontDesc::fromText(f.toText(), FontDesc{}), f);
    FontDesc partial = FontDesc::fromText("Arial;x;;1", FontDesc{});
    EXPECT_EQ(partial.name, "Arial");
    EXPECT_FLOAT_EQ(partial.size, 8.25f);
    EXPECT_EQ(partial.weight, 400);
    EXPECT_TRUE(partial.italic);
    // Sizes no window could turn into a pixel height keep the fallback.
    for (const char* size : {"1e39", "inf", "2049", "-1"})
        EXPECT_FLOAT_EQ(FontDesc::fromText(std::string("Arial;") + size, FontDesc{}).size, 8.25f)
            << size;
}

} // namespace
} // namespace velumira
