// The reader's locale-free number parsing against the C library's own
// conversions in the C locale, which this program never leaves: ToInt as
// strtol clamped to 32 bits, ToDouble bit for bit as a correctly rounding
// strtod, ToFloat as (float)strtod, and the overloads that are given the
// length as the ones that find it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "patchio/NumberParse.h"

namespace {

std::int32_t ExpectedInt(const char* text) {
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

template <typename Float>
bool Same(Float a, Float b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As a C string: the text ends at the first zero byte.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const char* text = bytes.c_str();
    const std::size_t length = std::strlen(text);

    fuzz::Check(numparse::ToInt(text) == ExpectedInt(text), "ToInt reads as strtol, clamped");
    const double expected = std::strtod(text, nullptr);
    fuzz::Check(Same(numparse::ToDouble(text), expected), "ToDouble reads as strtod");
    fuzz::Check(Same(numparse::ToDouble(text, length), expected), "ToDouble with a length reads as strtod");
    fuzz::Check(Same(numparse::ToFloat(text), static_cast<float>(expected)), "ToFloat reads as (float)strtod");
    fuzz::Check(Same(numparse::ToFloat(text, length), static_cast<float>(expected)),
                "ToFloat with a length reads as (float)strtod");
    return 0;
}
