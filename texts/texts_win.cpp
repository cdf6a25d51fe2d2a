#include "texts/texts_win.h"

#include <windows.h>

namespace velumira {

Language UserLanguage() {
    static const Language language = LanguageFor(GetUserDefaultUILanguage());
    return language;
}

const Texts& UserTexts() {
    return TextsFor(UserLanguage());
}

std::wstring Wide(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (n <= 1) return std::wstring();
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
    wide.resize(size_t(n - 1));
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string utf8(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], n, nullptr, nullptr);
    utf8.resize(size_t(n - 1));
    return utf8;
}

} // namespace velumira
