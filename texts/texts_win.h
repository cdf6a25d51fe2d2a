// The user's language as Windows reports it, and texts widened for the W
// entry points.
#pragma once

#include "texts/texts.h"

#include <string>

namespace velumira {

// From GetUserDefaultUILanguage, asked once.
Language UserLanguage();
// The texts of the user's language.
const Texts& UserTexts();
// UTF-8 to UTF-16 and back.
std::wstring Wide(const char* utf8);
std::string Utf8(const wchar_t* wide);

} // namespace velumira
