// Number parsing without the C library's locale: std::from_chars does the
// exact conversions (it rounds correctly, as strtod does), and the few rules
// in which atof differs from it are applied around it here.
#include "patchio/NumberParse.h"

#include <algorithm>
#include <cfloat>
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
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    std::int64_t exponent = 0;
    for (; p < end && IsDigit(*p); ++p) exponent = exponent < 1000000000 ? exponent * 10 + (*p - '0') : exponent;
    return scale + (negative ? -exponent : exponent) > 0;
}

// Exact powers of ten: every one up to 10^22 is held exactly by a double.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr int kMaxFastDigits = 15;

// The format's own numbers ("%f": digits, a point, six digits) without
// from_chars: when at most 15 digits in all and no exponent make the number,
// both the digits as an integer and the power of ten are exact doubles, and
// their quotient is the correctly rounded result. False for everything else
// (and where the compiler evaluates doubles in wider registers, which would
// round twice).
bool ReadPlainDecimal(const char* p, const char* end, double& magnitude) {
    if constexpr (!fast::kExactQuotients) return false;
    // Too many digits wrap the unsigned sum around; such text is refused
    // below by its digit count.
    std::uint64_t digits = 0;
    const char* const first = p;
    for (; p < end && IsDigit(*p); ++p) digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    std::ptrdiff_t count = p - first;
    std::ptrdiff_t fraction = 0;
    if (p < end && *p == '.') {
        const char* const point = ++p;
        for (; p < end && IsDigit(*p); ++p) digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
        fraction = p - point;
        count += fraction;
    }
    if (count == 0 || count > kMaxFastDigits || (p < end && (*p == 'e' || *p == 'E'))) return false;
    magnitude = static_cast<double>(digits) / kPowersOfTen[fraction];
    return true;
}

// Where the number at p ends as strtod reads it: the mantissa, then an
// exponent only when its mark is followed by at most one sign and a digit.
// A mark without a proper exponent ("1e", "0x1p+-5") ends the number before
// it; from_chars alone would misread some of these. Words ("inf", "nan")
// are left to from_chars whole.
const char* NumberEnd(const char* p, const char* end, bool hex) {
    if (p == end || !(*p == '.' || (hex ? IsHexDigit(*p) : IsDigit(*p)))) return end;
    const char exponentMark = hex ? 'p' : 'e';
    bool point = false;
    for (; p < end; ++p) {
        if (*p == '.' && !point)
            point = true;
        else if (!(hex ? IsHexDigit(*p) : IsDigit(*p)))
            break;
    }
    if (p == end || (*p | 0x20) != exponentMark) return p;
    const char* q = p + 1;
    if (q < end && (*q == '+' || *q == '-')) ++q;
    if (q == end || !IsDigit(*q)) return p;
    while (q < end && IsDigit(*q)) ++q;
    return q;
}

// The magnitude of the number at p (no sign, no white space). False when no
// number starts there.
bool ReadMagnitude(const char* p, const char* end, double& magnitude) {
    const bool hex = IsHexNumber(p);
    if (hex) p += 2;
    if (!hex && ReadPlainDecimal(p, end, magnitude)) return true;
    end = NumberEnd(p, end, hex);
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
    // Up to nine digits cannot overflow: the common case needs no checks.
    std::int64_t magnitude = 0;
    for (int n = 0; n < 9 && IsDigit(*p); ++n, ++p) magnitude = magnitude * 10 + (*p - '0');
    // Longer runs saturate one past the 32-bit range and stay there.
    for (; IsDigit(*p); ++p) magnitude = std::min(magnitude * 10 + (*p - '0'), kIntMax + 1);
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > kIntMax) return static_cast<std::int32_t>(kIntMax);
    if (value < kIntMin) return static_cast<std::int32_t>(kIntMin);
    return static_cast<std::int32_t>(value);
}

// from_chars reads no white space, no plus sign and no "0x", and reads a
// minus sign itself; so the white space and the one sign that atof allows
// are taken here, and a second sign makes the text no number at all. Text
// without a number is a positive 0, whatever sign it starts with.
double ToDouble(const char* text, std::size_t length) {
    const char* const end = text + length;
    const char* p = text;
    while (IsSpace(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    double magnitude = 0.0;
    if (*p == '-' || *p == '+' || !ReadMagnitude(p, end, magnitude)) return 0.0;
    return negative ? -magnitude : magnitude;
}

double ToDouble(const char* text) { return ToDouble(text, std::strlen(text)); }

float ToFloat(const char* text, std::size_t length) { return static_cast<float>(ToDouble(text, length)); }

float ToFloat(const char* text) { return static_cast<float>(ToDouble(text)); }

}  // namespace numparse
