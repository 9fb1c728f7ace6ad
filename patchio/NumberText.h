// Number text of the patch format, independent of the process locale: the
// exact bytes that "%d", "%f" and "%3.2f" give in the C locale.
#pragma once

#include <cstddef>
#include <cstdint>

namespace numtext {

// Room enough for any value written by the functions below.
constexpr std::size_t kIntChars = 12;    // "-2147483648"
constexpr std::size_t kFloatChars = 64;  // "-340282346638528859811704183484516925440.000000"

// "%d". Answers the end of the written text (no terminating null).
char* FormatInt(char* out, std::int32_t value);

// "%f" of a 32-bit float widened to a double: fixed point, six decimals,
// rounded as printf rounds (to nearest, ties to even on the exact value).
// Non-finite values are spelt as the C library spells them: "inf", "-inf",
// "nan", "-nan".
char* FormatFloat(char* out, float value);

// "%f" of any double; up to 330 characters for the largest doubles.
constexpr std::size_t kDoubleChars = 330;
char* FormatDouble(char* out, double value);

// "%3.2f": at least three characters, two decimals.
constexpr std::size_t kVersionChars = 330;
char* FormatVersion(char* out, double value);

}  // namespace numtext
