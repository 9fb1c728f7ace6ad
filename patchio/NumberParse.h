// Number tokens of the patch format, read the way atoi and atof read them in
// the C locale, whatever locale the process has chosen, and without their
// undefined behaviour on values out of range.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace numparse {

// atoi's rules: leading white space, an optional sign, the longest run of
// decimal digits, anything after it ignored, 0 when there are no digits.
// Values beyond the 32-bit range are clamped to it.
std::int32_t ToInt(const char* text);

// atof in the C locale: leading white space, an optional sign, then the
// longest prefix that forms a decimal or hexadecimal ("0x") floating number,
// "inf", "infinity" or "nan" (any case, "nan" with an optional parenthesised
// tail); 0 when there is none. The result is the nearest double, as a
// correctly rounding strtod gives it; overflow gives an infinity.
double ToDouble(const char* text);

// The nearest 32-bit float of ToDouble, exactly as (float)atof(text).
float ToFloat(const char* text);

// The same for callers that know the text's length (its strlen; the text
// is still NUL-terminated), such as the reader with its tokens.
double ToDouble(const char* text, std::size_t length);
float ToFloat(const char* text, std::size_t length);

// The reader's common cases, inline, for a NUL-terminated text of length
// characters with at least eight bytes readable from its start. Each answers
// false, and leaves value alone, for text it does not cover; what it covers
// it reads exactly as ToInt and ToFloat do.
namespace fast {

// One to nine digits, nothing else: the running indices and counts.
inline bool ReadDigits(const char* text, std::size_t length, std::int32_t& value) {
    if (length == 0 || length > 9) return false;
    std::int32_t sum = 0;
    for (std::size_t k = 0; k < length; ++k) {
        const unsigned digit = static_cast<unsigned>(text[k]) - '0';
        if (digit > 9) return false;
        sum = sum * 10 + static_cast<std::int32_t>(digit);
    }
    value = sum;
    return true;
}

// An integer as the writer writes one: an optional minus, then ReadDigits.
inline bool ReadInt(const char* text, std::size_t length, std::int32_t& value) {
    if (length > 1 && *text == '-') {
        if (!ReadDigits(text + 1, length - 1, value)) return false;
        value = -value;
        return true;
    }
    return ReadDigits(text, length, value);
}

// Whether a quotient of doubles is rounded once, to a double: not where
// doubles are evaluated in wider registers (x87), where it would round twice.
// The readers of plain decimals (ReadSixDecimals here, and the one for
// doubles behind ToDouble) read nothing where it is not.
constexpr bool kExactQuotients = FLT_EVAL_METHOD == 0;
// Whether ReadSixDecimals reads anything on this target.
constexpr bool kSixDecimalsRead = kExactQuotients;

// Whether the bytes of chunk that mask selects are all decimal digits.
inline bool AllDigits(std::uint64_t chunk, std::uint64_t mask) {
    const std::uint64_t high = chunk & 0xf0f0f0f0f0f0f0f0ull;
    const std::uint64_t carried = ((chunk + 0x0606060606060606ull) & 0xf0f0f0f0f0f0f0f0ull) >> 4;
    return ((high | carried) & mask) == (0x3333333333333333ull & mask);
}

// The value of eight digits, the first in the lowest byte (as a little
// endian load puts them); bytes whose low half is 0 count as zeros.
inline std::uint32_t EightDigits(std::uint64_t chunk) {
    chunk = ((chunk & 0x0f0f0f0f0f0f0f0full) * 2561) >> 8;
    chunk = ((chunk & 0x00ff00ff00ff00ffull) * 6553601) >> 16;
    return static_cast<std::uint32_t>(((chunk & 0x0000ffff0000ffffull) * 42949672960001ull) >> 32);
}

inline std::uint64_t Load8(const char* p) {
    std::uint64_t chunk;
    std::memcpy(&chunk, p, sizeof chunk);
    return chunk;
}

// The float of micros / 10^6 rounded to the nearest double, which is
// (float)atof of the same six-decimal text: micros and 10^6 are exact
// doubles, so their quotient is the double atof gives. A division takes
// several times as long as a multiplication, so the quotient is taken as
// micros times the double nearest 10^-6, which lies within 2.5 units in the
// last place of the exact quotient (two roundings of half a unit and the
// constant's own error). Its float is the quotient's float unless a point
// halfway between two floats lies between them: such a point has its 29
// bits below a float's precision at 2^28. Near one (once in tens of
// millions of values) the division is done after all.
inline float MicrosToFloat(std::uint64_t micros) {
    const auto exact = static_cast<double>(static_cast<std::int64_t>(micros));
    const double product = exact * 1e-6;
    std::uint64_t bits;
    std::memcpy(&bits, &product, sizeof bits);
    constexpr std::uint64_t kBelowFloat = (std::uint64_t{1} << 29) - 1;  // a double's bits beyond a float's
    constexpr std::uint64_t kHalfway = std::uint64_t{1} << 28;
    constexpr std::uint64_t kMargin = 8;  // units in the last place; more than the product's error
    if (((bits - kHalfway + kMargin) & kBelowFloat) <= 2 * kMargin) return static_cast<float>(exact / 1e6);
    return static_cast<float>(product);
}

// The writer's "%f" text: an optional minus, one to eight digits, a point
// and six digits. Both digit runs are read eight bytes at a time, without
// a branch that depends on their length or on the sign: coordinates come in
// every length and sign. Where doubles are evaluated in wider registers the
// quotient would round twice: there this answers false. Bytes are read
// little endian.
inline bool ReadSixDecimals(const char* text, std::size_t length, float& value) {
    if constexpr (!kExactQuotients) return false;
    const bool negative = *text == '-';
    const char* const digits = text + (negative ? 1 : 0);
    const char* const point = text + length - 7;
    const std::ptrdiff_t whole = point - digits;
    if (length < 8 || whole < 1 || whole > 8 || *point != '.') return false;
    const std::uint64_t decimals = Load8(point + 1);  // the six, their terminator and one more
    const auto shift = static_cast<unsigned>(8 - whole) * 8;
    const std::uint64_t wholeDigits = Load8(digits) << shift;  // leading zeros in the low bytes
    if (!AllDigits(decimals, 0xffffffffffffull) || !AllDigits(wholeDigits, ~std::uint64_t{0} << shift)) return false;
    const std::uint64_t micros = std::uint64_t{EightDigits(wholeDigits)} * 1000000u + EightDigits(decimals << 16);
    // Rounding is symmetric, so the sign goes on last, as a bit: a branch on
    // it would be mispredicted half the time.
    const float magnitude = MicrosToFloat(micros);
    std::uint32_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    bits |= static_cast<std::uint32_t>(negative) << 31;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

}  // namespace fast

// ToInt and ToFloat for the reader's tokens: the fast paths first.
inline std::int32_t TokenToInt(const char* text, std::size_t length) {
    std::int32_t value;
    return fast::ReadInt(text, length, value) ? value : ToInt(text);
}
inline float TokenToFloat(const char* text, std::size_t length) {
    float value;
    return fast::ReadSixDecimals(text, length, value) ? value : ToFloat(text, length);
}

}  // namespace numparse
