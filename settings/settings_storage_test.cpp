// How the settings file stores a music path, against code page 932 as glibc
// knows it (the Windows tree checks the same with the system's profile
// functions).
#include "settings_core.h"

#include <gtest/gtest.h>

#include <iconv.h>

using namespace velumira;

namespace {

// Code page 932 as glibc knows it, standing in for the system's.
std::string Convert(const char* to, const char* from, const std::string& in, bool& exact) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) ADD_FAILURE() << "no iconv from " << from << " to " << to;
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    exact = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1) && srcLeft == 0;
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

std::string Utf16LeBytes(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text)
        bytes += {char(c & 0xFF), char(c >> 8)};
    return bytes;
}

AnsiCodePage ShiftJis() {
    AnsiCodePage cp;
    cp.encode = [](const std::u16string& text, std::string& bytes) {
        bool exact;
        bytes = Convert("CP932", "UTF-16LE", Utf16LeBytes(text), exact);
        return exact;
    };
    cp.decode = [](const std::string& bytes) {
        bool exact;
        const std::string le = Convert("UTF-16LE", "CP932", bytes, exact);
        std::u16string text;
        for (size_t i = 0; i + 1 < le.size(); i += 2)
            text += char16_t(uint8_t(le[i]) | uint8_t(le[i + 1]) << 8);
        return text;
    };
    return cp;
}

} // namespace

TEST(SettingsStorage, PathsTheCodePageHoldsKeepTheAnsiFile) {
    const AnsiCodePage sjis = ShiftJis();
    std::string bytes;
    ASSERT_TRUE(sjis.encode(u"C:\\音楽\\表ﾌｧｲﾙ.mp3", bytes));
    EXPECT_EQ(bytes, "C:\\\x89\xb9\x8a\x79\\\x95\x5c\xcc\xa7\xb2\xd9.mp3");
    for (const char16_t* path : {u"C:\\Music\\a.mp3", u"C:\\音楽\\表ﾌｧｲﾙ.mp3", u" 2", u""})
        EXPECT_FALSE(NeedsUtf16IniFile(false, {u" 2", u" 0", path}, sjis));
}

TEST(SettingsStorage, OtherPathsTurnTheFileIntoUtf16ThatKeepsItsText) {
    const AnsiCodePage sjis = ShiftJis();
    for (const char16_t* path : {u"C:\\saver\\한국 노래.mp3", u"C:\\Music\\Café.mp3",
                                 u"C:\\Music\\Beyoncé.wav", u"C:\\😀.mp3"}) {
        EXPECT_FALSE(Representable(path, sjis));
        EXPECT_TRUE(NeedsUtf16IniFile(false, {u" 2", u" 0", path}, sjis));
        // Once UTF-16, the file holds any path and is never turned back.
        EXPECT_FALSE(NeedsUtf16IniFile(true, {u" 2", u" 0", path}, sjis));
    }
    EXPECT_FALSE(NeedsUtf16IniFile(true, {u"C:\\a.mp3"}, sjis));

    // The file's text is unchanged: the Shift-JIS key names become the
    // characters the code page gives them, so older versions still find them.
    const std::string ansi =
        std::string("[Other]\r\nkept=1\r\n[Section]\r\n") + kKeyBgmFile + "=C:\\\x95\x5c.mp3\r\n";
    const std::string utf16 = Utf16IniFile(ansi, sjis);
    EXPECT_TRUE(IsUtf16IniFile(utf16));
    EXPECT_FALSE(IsUtf16IniFile(ansi));
    EXPECT_EQ(utf16, "\xFF\xFE" + Utf16LeBytes(u"[Other]\r\nkept=1\r\n[Section]\r\n"
                                               u"BGMﾌｧｲﾙ=C:\\表.mp3\r\n"));
    EXPECT_EQ(Utf16IniFile("", sjis), "\xFF\xFE");
}
