#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "CommaLocale.h"
#include "TestFiles.h"
#include "patchio/NumberParse.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(NumberParse, IntegersFollowAtoiAndClampTo32Bits) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"0", 0},
        {"7", 7},
        {"-7", -7},
        {"+7", 7},
        {"007", 7},
        {"01", 1},
        {"7x", 7},
        {"12 34", 12},
        {"x7", 0},
        {"", 0},
        {"-", 0},
        {"--5", 0},
        {"+-5", 0},
        {"- 5", 0},
        {" \t\v\f\r\n12", 12},
        {"\v-3", -3},
        {"1.9", 1},
        {"-1e5", -1},
        {"2147483647", kMax},
        {"-2147483648", kMin},
        {"2147483648", kMax},
        {"-2147483649", kMin},
        {"4294967296", kMax},
        {"99999999999", kMax},
        {"-99999999999", kMin},
        {"0000000000000000000000000042", 42},
        {"999999999999999999999999999999999999999999", kMax},
        {"\xff"
         "5",
         0},
    };
    for (const Case& c : cases) EXPECT_EQ(numparse::ToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberParse, IntegersAgreeWithAtoiInsideTheRange) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> values(kMin, kMax);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = std::to_string(values(rng)) + (i % 3 == 0 ? "junk" : "");
        EXPECT_EQ(numparse::ToInt(text.c_str()), std::atoi(text.c_str())) << text;
    }
}

TEST(NumberParse, FloatsFollowAtofInTheCLocale) {
    struct Case {
        const char* text;
        float value;
    };
    const Case cases[] = {
        {"0.500000", 0.5f},
        {"-2.500000", -2.5f},
        {"1.10", 1.1f},
        {"1", 1.0f},
        {"+1.5", 1.5f},
        {" \t1.5", 1.5f},
        {".5", 0.5f},
        {"5.", 5.0f},
        {"-.5", -0.5f},
        {"1e3", 1000.0f},
        {"1E-2", 0.01f},
        {"2.5e+1x", 25.0f},
        {"1e", 1.0f},
        {"1e+", 1.0f},
        {"1.5x", 1.5f},
        {"1,5", 1.0f},
        {"0x1p3", 8.0f},
        {"0X1.8P1", 3.0f},
        {"-0x10", -16.0f},
        {"0x", 0.0f},
        {"0xg", 0.0f},
        {"00x5", 0.0f},
        {"abc", 0.0f},
        {"", 0.0f},
        {"-", 0.0f},
        {".", 0.0f},
        {"inf", kInf},
        {"-INF", -kInf},
        {"Infinity", kInf},
        {"infinit", kInf},
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1e-400", 0.0f},
        {"-1e-400", -0.0f},
        {"100000e-330", 0.0f},
        {"0.00001e-400", 0.0f},
        {"12345e305", kInf},
        {"1e99999999999999999999", kInf},
        {"+-1", 0.0f},
        {"-+1", 0.0f},
        {"0x-1", 0.0f},
        {"0x.", 0.0f},
        {"0x.8", 0.5f},
        {" +0x1P+3", 8.0f},
        {"0x1p-1075", 0.0f},
        {"0x1p1024", kInf},
        {"-0x1p99999999999", -kInf},
        {"3.4028235e38", std::numeric_limits<float>::max()},
        {"1e39", kInf},
        {"123456.789", 123456.789f},
        {"-200.000000", -200.0f},
        {"0.100000", 0.1f},
        {"999999999999999", 1e15f},
        {"9999999999999999", 1e16f},
        {"-340282346638528859811704183484516925440.000000", -std::numeric_limits<float>::max()},
        // Halfway between 1 and the next float, and a little above: the
        // double is exactly the halfway point, which then rounds to even.
        // strtof would round up here; atof followed by a cast does not.
        {"1.0000000596046447755", 1.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bits(numparse::ToFloat(c.text)), Bits(c.value)) << '"' << c.text << '"';
        EXPECT_EQ(Bits(numparse::ToFloat(c.text, std::strlen(c.text))), Bits(c.value)) << '"' << c.text << '"';
    }
    EXPECT_TRUE(std::signbit(numparse::ToFloat("-0.000000")));
    EXPECT_TRUE(std::isnan(numparse::ToFloat("nan")));
    EXPECT_TRUE(std::isnan(numparse::ToFloat("-NaN(123)")));
    EXPECT_TRUE(std::signbit(numparse::ToFloat("-nan")));
}

// The C library on Windows (msvcrt) reads neither hexadecimal nor inf and
// nan, so there atof is a reference for decimal text only.
constexpr bool kAtofReadsEveryForm = !testfiles::kWindows;

std::string RandomDigits(std::mt19937& rng, int count, const char* digits, int base) {
    std::string text;
    for (int i = 0; i < count; ++i) text += digits[std::uniform_int_distribution<int>(0, base - 1)(rng)];
    return text;
}

// Decimal text of every shape the format and hand-edited files hold, with
// exponents that reach beyond the double range; and, where atof reads them,
// hexadecimal, infinities, nans, white space and signs.
std::string RandomNumberText(std::mt19937& rng) {
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char* const kOdd[] = {"inf",
                                       "-Infinity",
                                       "nan",
                                       "NAN(x1)",
                                       "0x1.fffffep127",
                                       "0x1p-149",
                                       "-0x.8",
                                       " 3",
                                       "+",
                                       "+-1",
                                       "-+1",
                                       "0x",
                                       "0x.",
                                       "0x.p1",
                                       "0x-1",
                                       "e5",
                                       "\v-7",
                                       "1e-46",
                                       "7.0064923e-46",
                                       "1.17549435e-38",
                                       "  +0x1P+3"};
    std::string text;
    if (kAtofReadsEveryForm) {
        if (pick(20) == 0) return kOdd[pick(static_cast<int>(sizeof kOdd / sizeof kOdd[0]))];
        if (pick(10) == 0) text += " \t\n\v\f\r"[pick(6)];
    }
    const int sign = pick(3);
    if (sign == 1) text += '-';
    if (sign == 2 && kAtofReadsEveryForm) text += '+';
    const bool hex = kAtofReadsEveryForm && pick(6) == 0;
    if (hex) text += pick(2) ? "0x" : "0X";
    const char* digits = hex ? "0123456789abcdefABCDEF" : "0123456789";
    const int base = hex ? 22 : 10;
    text += RandomDigits(rng, pick(4) ? pick(12) : pick(30), digits, base);
    if (pick(4)) text += "." + RandomDigits(rng, pick(4) ? 6 : pick(25), digits, base);
    if (pick(5) == 0) {
        text += hex ? (pick(2) ? 'p' : 'P') : (pick(2) ? 'e' : 'E');
        if (pick(2)) text += pick(2) ? '-' : '+';
        text += std::to_string(pick(3) ? pick(40) : pick(hex ? 1200 : 400));
    }
    if (pick(10) == 0) text += "#7";
    return text;
}

TEST(NumberParse, FloatsAgreeWithAtofOnRandomText) {
    std::mt19937 rng(11);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = RandomNumberText(rng);
        const float expected = static_cast<float>(std::atof(text.c_str()));
        const float got = numparse::ToFloat(text.c_str());
        if (std::isnan(expected)) {
            ASSERT_TRUE(std::isnan(got)) << text;
            ASSERT_EQ(std::signbit(got), std::signbit(expected)) << text;
        } else {
            ASSERT_EQ(Bits(got), Bits(expected)) << '"' << text << '"';
        }
    }
}

// Six-decimal text of random floats of every magnitude, as the writer
// prints them.
TEST(NumberParse, PrintedFloatsReadAsAtofReadsThem) {
    std::mt19937 rng(13);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 100000; ++i) {
        float value;
        const std::uint32_t pattern = bits(rng);
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) continue;
        char text[64];
        std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
        ASSERT_EQ(Bits(numparse::ToFloat(text)), Bits(static_cast<float>(std::atof(text)))) << text;
    }
}

// The reader's inline fast paths take what they can of a token and leave
// the rest to the general parsing: either way, the value is the general
// one. Tokens sit in a buffer with room to read past their ends, as the
// tokeniser's do.
struct TokenText {
    char buffer[96] = {};
    std::size_t length = 0;
    explicit TokenText(const std::string& text) : length(text.size()) {
        std::memcpy(buffer, text.data(), text.size() < 80 ? text.size() : 80);
    }
};

TEST(NumberParse, TokenFastPathsAgreeWithTheGeneralParsing) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<std::uint32_t> bits;
    int fastFloats = 0;
    for (int i = 0; i < 200000; ++i) {
        // Random text of every form, and the writer's own text of random
        // floats, some with one byte changed.
        std::string text = RandomNumberText(rng);
        if (i % 2) {
            float value;
            const std::uint32_t pattern = bits(rng);
            std::memcpy(&value, &pattern, sizeof value);
            char printed[64];
            std::snprintf(printed, sizeof printed, "%f", std::isfinite(value) ? static_cast<double>(value) : 1.5);
            text = printed;
            if (i % 10 == 1) text[rng() % text.size()] = "0.9-+e x"[rng() % 8];
        }
        if (text.size() >= 80) continue;
        const TokenText token(text);
        const float expected = numparse::ToFloat(token.buffer, token.length);
        float fast = 0.0f;
        if (numparse::fast::ReadSixDecimals(token.buffer, token.length, fast)) {
            ++fastFloats;
            ASSERT_EQ(Bits(fast), Bits(expected)) << '"' << text << '"';
        }
        ASSERT_EQ(Bits(numparse::TokenToFloat(token.buffer, token.length)), Bits(expected)) << '"' << text << '"';
        ASSERT_EQ(numparse::TokenToInt(token.buffer, token.length), numparse::ToInt(token.buffer))
            << '"' << text << '"';
    }
    // The writer's text of floats below 10^8 in magnitude takes the fast path.
    if (numparse::fast::kSixDecimalsRead) {
        EXPECT_GT(fastFloats, 30000);
    }
}

TEST(NumberParse, TokenFastPathsTakeTheWritersText) {
    const std::pair<const char*, float> floats[] = {{"0.000000", 0.0f},
                                                    {"-0.000000", -0.0f},
                                                    {"1.500000", 1.5f},
                                                    {"-999.999939", -999.999939f},
                                                    {"12345678.000000", 12345678.0f},
                                                    {"0.000001", 0.000001f}};
    for (const auto& [text, value] : floats) {
        if (!numparse::fast::kSixDecimalsRead) break;
        const TokenText token(text);
        float got = 1.0f;
        ASSERT_TRUE(numparse::fast::ReadSixDecimals(token.buffer, token.length, got)) << text;
        EXPECT_EQ(Bits(got), Bits(value)) << text;
    }
    const std::pair<const char*, std::int32_t> ints[] = {
        {"0", 0}, {"-1", -1}, {"7", 7}, {"123456789", 123456789}, {"-123456789", -123456789}};
    for (const auto& [text, value] : ints) {
        const TokenText token(text);
        std::int32_t got = 0;
        ASSERT_TRUE(numparse::fast::ReadInt(token.buffer, token.length, got)) << text;
        EXPECT_EQ(got, value) << text;
    }
    // Not the writer's text: left to the general parsing.
    for (const char* text : {"+1.000000", "1.00000", "1.0000000", "1e1.000000", ".000000", "-.000000",
                             "123456789.000000", "1.0000e0", "1,000000"}) {
        const TokenText token(text);
        float f;
        EXPECT_FALSE(numparse::fast::ReadSixDecimals(token.buffer, token.length, f)) << text;
    }
    for (const char* text : {"-", "+1", "1234567890", "0x1", " 1", "1.5", "--1", ""}) {
        const TokenText token(text);
        std::int32_t n;
        EXPECT_FALSE(numparse::fast::ReadInt(token.buffer, token.length, n)) << text;
    }
}

// The fast path multiplies where atof divides: the float must be the one of
// the correctly rounded quotient for every count of millionths, those whose
// product falls near a point halfway between two floats included.
TEST(NumberParse, MillionthsTakeTheQuotientsFloat) {
    if (!numparse::fast::kSixDecimalsRead) GTEST_SKIP() << "no six-decimal fast path on this target";
    const auto quotient = [](std::uint64_t micros) {
        return static_cast<float>(static_cast<double>(static_cast<std::int64_t>(micros)) / 1e6);
    };
    for (std::uint64_t micros = 0; micros < (1u << 21); ++micros)
        ASSERT_EQ(Bits(numparse::fast::MicrosToFloat(micros)), Bits(quotient(micros))) << micros;
    std::mt19937_64 rng(29);
    for (int i = 0; i < 2000000; ++i) {
        const std::uint64_t micros = (rng() % 100000000000000ull) >> (rng() % 48);
        ASSERT_EQ(Bits(numparse::fast::MicrosToFloat(micros)), Bits(quotient(micros))) << micros;
    }
}

TEST(NumberParse, CommaDecimalLocaleChangesNothing) {
    testlocale::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << testlocale::kNoCommaLocale;
    // The C library itself now stops at the point.
    ASSERT_EQ(std::atof("0.500000"), 0.0) << comma.Name();
    struct Case {
        const char* text;
        float value;
    };
    for (const Case c : {Case{"0.500000", 0.5f}, Case{"-2.5", -2.5f}, Case{"1,5", 1.0f}, Case{"0x1.8p1", 3.0f},
                         Case{" +.25", 0.25f}, Case{"1e400", kInf}}) {
        EXPECT_EQ(Bits(numparse::ToFloat(c.text)), Bits(c.value)) << c.text;
    }
    EXPECT_EQ(numparse::ToInt(" -12"), -12);
}

}  // namespace
