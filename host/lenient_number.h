#pragma once

#include <cstdint>
#include <string>

namespace velumira {

// Reads the leading number of a text the forgiving way the screensaver command
// line and MCI replies need: blanks, tabs and line feeds anywhere are ignored,
// reading stops at the first character that cannot continue the number, "&H"
// introduces hexadecimal digits, and text without a leading number reads as 0.
double LenientNumber(const std::string& text);

// The nearest 32-bit integer (halves to even); values beyond the range stick
// to its ends and NaN gives 0.
int32_t NearestInt32(double value);

} // namespace velumira
