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

} // namespace velumira
