#include "lenient_number.h"

#include <cmath>
#include <cstdlib>

namespace velumira {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

double LenientNumber(const std::string& text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') s += c;

    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        // Up to eight digits form a 32-bit pattern, so &HFFFFFFFF is -1 as a
        // handle written in hex would mean; longer runs are plain magnitudes.
        uint64_t v = 0;
        size_t digits = 0;
        for (size_t i = 2; i < s.size() && HexDigit(s[i]) >= 0; ++i, ++digits) {
            if (v < (uint64_t(1) << 60)) v = v * 16 + uint64_t(HexDigit(s[i]));
        }
        if (digits <= 8) return double(int32_t(uint32_t(v)));
        return double(v);
    }

    // Longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i]))
        num += s[i++], ++mantissaDigits;
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && IsDigit(s[i]))
            num += s[i++], ++mantissaDigits;
    }
    if (mantissaDigits == 0) return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exp += s[j++];
        size_t expDigits = 0;
        while (j < s.size() && IsDigit(s[j]))
            exp += s[j++], ++expDigits;
        if (expDigits > 0) num += exp;
    }
    return std::strtod(num.c_str(), nullptr);
}

int32_t NearestInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return int32_t(std::nearbyint(value));
}

} // namespace velumira
