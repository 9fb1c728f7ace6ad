// Number text of the patch format, independent of the process locale: the
// exact bytes that "%d", "%f" and "%3.2f" give in the C locale. The common
// cases are inline, as the writer formats a number for every few bytes it
// writes; the rare ones (huge, tiny and non-finite values) are out of line.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#  include <emmintrin.h>
#  define GANTLINE_NUMTEXT_SSE2 1
#endif

// The digit writers and readers build words of characters with the first
// character in the lowest byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "number text assumes a little endian processor");

namespace numtext {

// Room enough for any value written by the functions below.
constexpr std::size_t kIntChars = 12;    // "-2147483648"
constexpr std::size_t kFloatChars = 64;  // "-340282346638528859811704183484516925440.000000"

namespace detail {

// "00" to "99": two digits at a time.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline void WritePair(char* out, std::uint32_t pair) { std::memcpy(out, kDigitPairs + 2 * pair, 2); }

// Exactly four digits of a value below 10^4, leading zeros included.
inline void WriteFourDigits(char* out, std::uint32_t value) {
    const std::uint32_t high = value / 100;
    WritePair(out, high);
    WritePair(out + 2, value - high * 100);
}

// The digits of a value below 10^4, without leading zeros.
inline char* WriteUpToFour(char* out, std::uint32_t value) {
    if (value < 100) {
        if (value < 10) {
            *out = static_cast<char>('0' + value);
            return out + 1;
        }
        WritePair(out, value);
        return out + 2;
    }
    const std::uint32_t high = value / 100;
    const std::uint32_t low = value - high * 100;
    if (high < 10) {
        *out = static_cast<char>('0' + high);
        WritePair(out + 1, low);
        return out + 3;
    }
    WritePair(out, high);
    WritePair(out + 2, low);
    return out + 4;
}

// The decimal digits of value, without leading zeros, four at a time from
// the front. Answers the end of the written text. Values below 10^4 (most
// indices and whole parts) take one branchy step.
inline char* WriteDigits(char* out, std::uint64_t value) {
    if (value < 10000) return WriteUpToFour(out, static_cast<std::uint32_t>(value));
    if (value < 100000000) {
        const auto high = static_cast<std::uint32_t>(value / 10000);
        out = WriteUpToFour(out, high);
        WriteFourDigits(out, static_cast<std::uint32_t>(value) - high * 10000);
        return out + 4;
    }
    const std::uint64_t high = value / 100000000;
    const auto low = static_cast<std::uint32_t>(value - high * 100000000);
    out = WriteDigits(out, high);
    WriteFourDigits(out, low / 10000);
    WriteFourDigits(out + 4, low % 10000);
    return out + 8;
}

// Exactly six digits of a value below 10^6, leading zeros included. The
// value times 429497 (2^32 / 10^4, rounded up) holds its first two digits in
// the high word and the rest as a binary fraction, whose next two digits
// come out of each multiplication by 100; exact for every value below 10^6
// (the tests check them all).
inline void WriteSixDigits(char* out, std::uint32_t value) {
    std::uint64_t t = std::uint64_t{value} * 429497u;
    WritePair(out, static_cast<std::uint32_t>(t >> 32));
    t = (t & 0xffffffffu) * 100;
    WritePair(out + 2, static_cast<std::uint32_t>(t >> 32));
    t = (t & 0xffffffffu) * 100;
    WritePair(out + 4, static_cast<std::uint32_t>(t >> 32));
}

// "%f" of a float whose value times 10^6 does not fit the fast path: the
// largest and the non-finite ones.
char* FormatFloatSlowly(char* out, float value);

}  // namespace detail

// "%d". Answers the end of the written text (no terminating null).
inline char* FormatInt(char* out, std::int32_t value) {
    std::uint64_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0u - static_cast<std::uint32_t>(value);
    }
    return detail::WriteDigits(out, magnitude);
}

// "%f" of a 32-bit float widened to a double: fixed point, six decimals,
// rounded as printf rounds (to nearest, ties to even on the exact value).
// Non-finite values are spelt as the C library spells them: "inf", "-inf",
// "nan", "-nan".
//
// A float is mantissa * 2^exponent exactly, so value * 10^6 is the integer
// mantissa * 10^6 shifted by the exponent; its rounding to an integer is
// the rounding of the six decimals. It fits 64 bits for every float below
// 2^43, which is all but the largest.
inline char* FormatFloat(char* out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 23) & 0xff);
    const int exponent = (biased == 0 ? 1 : biased) - 150;
    if (biased == 0xff || exponent > 19) return detail::FormatFloatSlowly(out, value);
#if defined(GANTLINE_NUMTEXT_SSE2)
    // Below 2^31, the common case: the whole part by truncation and the
    // fraction by subtraction, both exact for a float; the fraction times
    // 10^6 is exact as a double, and its conversion to an integer rounds to
    // nearest with ties to even, as printf rounds (in the processor's
    // default rounding mode).
    if (biased < 127 + 31) {
        const float magnitude = std::fabs(value);
        std::int32_t whole = _mm_cvttss_si32(_mm_set_ss(magnitude));
        const float fraction = magnitude - static_cast<float>(whole);
        std::int32_t micros = _mm_cvtsd_si32(_mm_set_sd(static_cast<double>(fraction) * 1e6));
        const std::int32_t carry = micros >= 1000000 ? 1 : 0;
        whole += carry;
        micros -= carry * 1000000;
        // The sign without a branch: coordinates of either sign come in any
        // order, and a mispredicted branch costs as much as the digits.
        *out = '-';
        out += bits >> 31;
        out = detail::WriteDigits(out, static_cast<std::uint32_t>(whole));
        *out = '.';
        detail::WriteSixDigits(out + 1, static_cast<std::uint32_t>(micros));
        return out + 7;
    }
#endif
    const std::uint64_t mantissa = (bits & 0x7fffff) | (biased == 0 ? 0u : 0x800000u);
    constexpr std::uint64_t kMicro = 1000000;
    std::uint64_t micros;
    if (exponent >= 0) {
        micros = (mantissa << exponent) * kMicro;
    } else if (exponent <= -46) {
        micros = 0;  // below a quarter of a millionth: rounds to zero
    } else {
        const int shift = -exponent;
        const std::uint64_t scaled = mantissa * kMicro;  // below 2^44
        const std::uint64_t quotient = scaled >> shift;
        const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        micros = quotient + ((remainder > half || (remainder == half && (quotient & 1))) ? 1 : 0);
    }
    if (bits >> 31) *out++ = '-';
    const std::uint64_t whole = micros / kMicro;
    out = detail::WriteDigits(out, whole);
    *out = '.';
    detail::WriteSixDigits(out + 1, static_cast<std::uint32_t>(micros - whole * kMicro));
    return out + 7;
}

// "%d" of 0, 1, 2 ... in turn: the running indices, which the writer
// writes for every point. Counting on in decimal costs a digit or two where
// formatting each number anew costs a division per pair of digits.
class RunningIndex {
public:
    RunningIndex() { std::memset(digits_, '0', sizeof digits_); }
    // Starting at number instead of 0.
    explicit RunningIndex(std::uint32_t number) : RunningIndex() {
        char* digit = digits_ + kDigits;
        do {
            *--digit = static_cast<char>('0' + number % 10);
            number /= 10;
        } while (number != 0);
        length_ = static_cast<unsigned>(digits_ + kDigits - digit);
    }
    // Writes the current number (sixteen bytes are stored) and answers the
    // end of its digits.
    char* Put(char* out) const {
        std::memcpy(out, digits_ + kDigits - length_, 16);
        return out + length_;
    }
    void Next() {
        char* digit = digits_ + kDigits - 1;
        while (*digit == '9') *digit-- = '0';
        ++*digit;
        const auto used = static_cast<unsigned>(digits_ + kDigits - digit);
        if (used > length_) length_ = used;
    }

private:
    static constexpr unsigned kDigits = 10;  // every non-negative 32-bit number
    char digits_[kDigits + 16];              // the digits end at kDigits; room to copy sixteen bytes
    unsigned length_ = 1;
};

// "%f" of any double; up to 330 characters for the largest doubles.
constexpr std::size_t kDoubleChars = 330;
char* FormatDouble(char* out, double value);

// "%3.2f": at least three characters, two decimals.
constexpr std::size_t kVersionChars = 330;
char* FormatVersion(char* out, double value);

}  // namespace numtext
