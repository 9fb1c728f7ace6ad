#include "patchio/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace numtext {
namespace {

// Six decimals: the scale of a fixed-point coordinate.
constexpr std::uint64_t kMicro = 1000000;

// "00" to "99": two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void WritePair(char* out, std::uint32_t pair) { std::memcpy(out, kDigitPairs + 2 * pair, 2); }

// Exactly six digits of a value below 10^6, leading zeros included.
void WriteSixDigits(char* out, std::uint32_t value) {
    const std::uint32_t high = value / 10000;
    const std::uint32_t rest = value - high * 10000;
    const std::uint32_t middle = rest / 100;
    WritePair(out, high);
    WritePair(out + 2, middle);
    WritePair(out + 4, rest - middle * 100);
}

// "%f" of a finite double into the room out to end, which fits it.
char* FixedSix(char* out, char* end, double value) {
    return std::to_chars(out, end, value, std::chars_format::fixed, 6).ptr;
}

char* WriteNonFinite(char* out, bool negative, bool isNan) {
    if (negative) *out++ = '-';
    std::memcpy(out, isNan ? "nan" : "inf", 3);
    return out + 3;
}

// value * 10^6 rounded to nearest, ties to even, for |value| = mantissa *
// 2^exponent. Answers false when the result would not fit 64 bits.
bool ScaledMicros(std::uint64_t mantissa, int exponent, std::uint64_t& micros) {
    if (exponent >= 0) {
        if (exponent > 19) return false;  // 2^24 * 2^20 * 10^6 would pass 2^64
        micros = (mantissa << exponent) * kMicro;
        return true;
    }
    const int shift = -exponent;
    const std::uint64_t scaled = mantissa * kMicro;  // below 2^44
    if (shift >= 46) {
        micros = 0;  // below a quarter of a micro: rounds to zero
        return true;
    }
    const std::uint64_t quotient = scaled >> shift;
    const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    micros = quotient + ((remainder > half || (remainder == half && (quotient & 1))) ? 1 : 0);
    return true;
}

}  // namespace

char* FormatInt(char* out, std::int32_t value) {
    return std::to_chars(out, out + kIntChars, value).ptr;
}

char* FormatFloat(char* out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 31) != 0;
    const int biased = static_cast<int>((bits >> 23) & 0xff);
    const std::uint32_t fraction = bits & 0x7fffff;
    if (biased == 0xff) return WriteNonFinite(out, negative, fraction != 0);

    std::uint64_t mantissa = fraction;
    int exponent = -149;
    if (biased != 0) {
        mantissa |= 0x800000;
        exponent = biased - 150;
    }
    std::uint64_t micros = 0;
    // The largest floats need their whole digits; a widened float takes at
    // most 47 characters, so the end handed on stays inside the caller's
    // kFloatChars.
    if (!ScaledMicros(mantissa, exponent, micros)) return FixedSix(out, out + kFloatChars, static_cast<double>(value));
    if (negative) *out++ = '-';
    const std::uint64_t whole = micros / kMicro;
    out = std::to_chars(out, out + 20, whole).ptr;
    *out++ = '.';
    WriteSixDigits(out, static_cast<std::uint32_t>(micros - whole * kMicro));
    return out + 6;
}

char* FormatDouble(char* out, double value) {
    if (!std::isfinite(value)) return WriteNonFinite(out, std::signbit(value), std::isnan(value));
    return FixedSix(out, out + kDoubleChars, value);
}

// Two decimals always give at least four characters ("0.00"), so the field
// width of three never pads.
char* FormatVersion(char* out, double value) {
    if (!std::isfinite(value)) return WriteNonFinite(out, std::signbit(value), std::isnan(value));
    return std::to_chars(out, out + kVersionChars, value, std::chars_format::fixed, 2).ptr;
}

}  // namespace numtext

