#include "patchio/NumberParse.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

#include "patchio/CLocaleNumbers.h"

namespace numparse {
namespace {

// White space as isspace classifies it in the C locale.
inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();

// The plain decimal forms that std::from_chars reads exactly as strtod does:
// an optional minus, then a digit or a decimal point, and no "0x" prefix.
// Everything else (white space, a plus sign, hexadecimal, inf and nan) goes
// to the C library.
bool IsPlainDecimal(const char* text) {
    const char* p = text[0] == '-' ? text + 1 : text;
    if (p[0] == '0') return p[1] != 'x' && p[1] != 'X';
    return IsDigit(p[0]) || p[0] == '.';
}

}  // namespace

std::int32_t ToInt(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // Accumulate the magnitude, saturating one past the 32-bit range so that
    // any longer run of digits stays put.
    std::int64_t magnitude = 0;
    for (; IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > kIntMax + 1) magnitude = kIntMax + 1;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > kIntMax) return static_cast<std::int32_t>(kIntMax);
    if (value < kIntMin) return static_cast<std::int32_t>(kIntMin);
    return static_cast<std::int32_t>(value);
}

double ToDouble(const char* text) {
    if (IsPlainDecimal(text)) {
        double value = 0.0;
        const auto result = std::from_chars(text, text + std::strlen(text), value);
        // Values out of range (from_chars leaves value alone there) and
        // anything else unusual are left to strtod.
        if (result.ec == std::errc()) return value;
    }
    return c_locale_numbers::Strtod(text);
}

float ToFloat(const char* text) { return static_cast<float>(ToDouble(text)); }

}  // namespace numparse
