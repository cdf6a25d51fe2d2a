#include "texts/texts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velumira {
namespace {

TEST(Texts, JapaneseOnlyWhereTheUiLanguageIsJapanese) {
    EXPECT_EQ(LanguageFor(0x0411), Language::Japanese); // ja-JP
    EXPECT_EQ(LanguageFor(0x0409), Language::English);  // en-US
    EXPECT_EQ(LanguageFor(0x0809), Language::English);  // en-GB
    EXPECT_EQ(LanguageFor(0x0804), Language::English);  // zh-CN
    EXPECT_EQ(LanguageFor(0x0412), Language::English);  // ko-KR
    EXPECT_EQ(LanguageFor(0x0000), Language::English);  // neutral
}

// Every field of both sets is a real text, and the English set speaks English.
TEST(Texts, EveryTextPresentInBothLanguages) {
    for (Language language : {Language::Japanese, Language::English}) {
        const Texts& t = TextsFor(language);
        const char* const* fields = reinterpret_cast<const char* const*>(&t);
        for (size_t i = 0; i < sizeof(Texts) / sizeof(const char*); ++i) {
            ASSERT_NE(fields[i], nullptr) << "field " << i;
            EXPECT_GT(std::strlen(fields[i]), 0u) << "field " << i;
        }
    }
    const Texts& en = TextsFor(Language::English);
    EXPECT_STREQ(en.audioCd, "Audio CD");
    EXPECT_STREQ(TextsFor(Language::Japanese).audioCd, "\xE9\x9F\xB3\xE6\xA5\xBD"
                                                       "CD");
}

} // namespace
} // namespace velumira
