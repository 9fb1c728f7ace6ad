// Number parsing without the C library's locale: std::from_chars does the
// exact conversions (it rounds correctly, as strtod does), and the few rules
// in which atof differs from it are applied around it here.
#include "patchio/NumberParse.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace numparse {
namespace {

// White space as isspace classifies it in the C locale.
inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(char c) { return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }

constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();

// A "0x" prefix followed by what a hexadecimal number needs: a digit, or a
// point and a digit. Otherwise strtod reads just the "0".
bool IsHexNumber(const char* p) {
    if (p[0] != '0' || (p[1] != 'x' && p[1] != 'X')) return false;
    return IsHexDigit(p[2]) || (p[2] == '.' && IsHexDigit(p[3]));
}

// For a number that from_chars found out of range: whether it is too large
// (an overflow) rather than too small. Its magnitude is estimated from where
// its first significant digit stands and from its exponent; out-of-range
// numbers lie hundreds of decades away from 1, so the estimate cannot err.
bool IsTooLarge(const char* p, const char* end, bool hex) {
    const std::int64_t digitWeight = hex ? 4 : 1;  // exponent units per digit
    const char exponentMark = hex ? 'p' : 'e';
    std::int64_t scale = 0;
    while (p < end && *p == '0') ++p;
    for (; p < end && *p != '.' && (*p | 0x20) != exponentMark; ++p) scale += digitWeight;
    if (scale == 0 && p < end && *p == '.')
        for (++p; p < end && *p == '0'; ++p) scale -= digitWeight;
    while (p < end && (*p | 0x20) != exponentMark) ++p;
    if (p == end) return scale > 0;
    ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    std::int64_t exponent = 0;
    for (; p < end && IsDigit(*p); ++p) exponent = exponent < 1000000000 ? exponent * 10 + (*p - '0') : exponent;
    return scale + (negative ? -exponent : exponent) > 0;
}

// The magnitude of the number at p (no sign, no white space). False when no
// number starts there.
bool ReadMagnitude(const char* p, double& magnitude) {
    const char* end = p + std::strlen(p);
    const bool hex = IsHexNumber(p);
    if (hex) p += 2;
    const auto result = std::from_chars(p, end, magnitude, hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc()) return true;
    if (result.ec != std::errc::result_out_of_range) return false;
    magnitude = IsTooLarge(p, result.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
    return true;
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

// from_chars reads no white space, no plus sign and no "0x", and reads a
// minus sign itself; so the white space and the one sign that atof allows
// are taken here, and a second sign makes the text no number at all. Text
// without a number is a positive 0, whatever sign it starts with.
double ToDouble(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    double magnitude = 0.0;
    if (*p == '-' || *p == '+' || !ReadMagnitude(p, magnitude)) return 0.0;
    return negative ? -magnitude : magnitude;
}

float ToFloat(const char* text) { return static_cast<float>(ToDouble(text)); }

}  // namespace numparse
