#include "patchio/NumberText.h"

#include <charconv>
#include <cmath>

namespace numtext {
namespace {

// "%f" of a finite double into the room out to end, which fits it.
char* FixedSix(char* out, char* end, double value) {
    return std::to_chars(out, end, value, std::chars_format::fixed, 6).ptr;
}

char* WriteNonFinite(char* out, bool negative, bool isNan) {
    if (negative) *out++ = '-';
    std::memcpy(out, isNan ? "nan" : "inf", 3);
    return out + 3;
}

}  // namespace

// The largest floats need their whole digits; a widened float takes at most
// 47 characters, so the end handed on stays inside the caller's kFloatChars.
char* detail::FormatFloatSlowly(char* out, float value) {
    if (!std::isfinite(value)) return WriteNonFinite(out, std::signbit(value), std::isnan(value));
    return FixedSix(out, out + kFloatChars, static_cast<double>(value));
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
