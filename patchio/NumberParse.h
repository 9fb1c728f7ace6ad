// Number tokens of the patch format, read the way atoi and atof read them in
// the C locale, whatever locale the process has chosen, and without their
// undefined behaviour on values out of range.
#pragma once

#include <cstddef>
#include <cstdint>

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

}  // namespace numparse
