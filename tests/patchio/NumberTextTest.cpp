// Number text must be the exact bytes of printf's "%d", "%f" and "%3.2f" in
// the C locale, whatever the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "CommaLocale.h"
#include "patchio/NumberText.h"

namespace {

std::string Float(float v) {
    char buffer[numtext::kFloatChars];
    return std::string(buffer, numtext::FormatFloat(buffer, v));
}

std::string Int(std::int32_t v) {
    char buffer[numtext::kIntChars];
    return std::string(buffer, numtext::FormatInt(buffer, v));
}

std::string Version(double v) {
    char buffer[numtext::kVersionChars];
    return std::string(buffer, numtext::FormatVersion(buffer, v));
}

// The C library's own text of v for the three conversions the format uses.
enum class Conversion { F, ThreeTwoF, NineG };
std::string Printf(Conversion conversion, double v) {
    char buffer[512];
    switch (conversion) {
        case Conversion::F:
            std::snprintf(buffer, sizeof buffer, "%f", v);
            break;
        case Conversion::ThreeTwoF:
            std::snprintf(buffer, sizeof buffer, "%3.2f", v);
            break;
        case Conversion::NineG:
            std::snprintf(buffer, sizeof buffer, "%.9g", v);
            break;
    }
    return buffer;
}

float FromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

class CLocale : public ::testing::Test {
protected:
    void SetUp() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CLocale, FloatsOfEveryKindMatchPrintf) {
    const float cases[] = {0.0f,
                           -0.0f,
                           0.1f,
                           -2.5f,
                           0.0078125f,   // a tie at the sixth decimal: rounds to even
                           0.0000005f,   // just around half a micro
                           -0.0000004f,  // rounds to "-0.000000"
                           0.9999995f,   // carries into the integer part
                           1e-45f,       // the smallest subnormal
                           1.17549435e-38f,
                           16777216.0f,
                           8.5e12f,  // the end of the fast path
                           1e13f,
                           3.40282347e38f,
                           -3.40282347e38f,
                           123456.789f};
    for (float v : cases) EXPECT_EQ(Float(v), Printf(Conversion::F, static_cast<double>(v))) << "bits of " << v;
}

TEST_F(CLocale, NonFiniteValuesAreSpeltAsTheCLibrarySpellsThem) {
    EXPECT_EQ(Float(std::numeric_limits<float>::infinity()), "inf");
    EXPECT_EQ(Float(-std::numeric_limits<float>::infinity()), "-inf");
    EXPECT_EQ(Float(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(Float(-std::numeric_limits<float>::quiet_NaN()), "-nan");
}

// A million floats: random bit patterns (every exponent, subnormals), small
// decimals of realistic coordinates, and exact binary fractions that land on
// ties at the sixth decimal.
TEST_F(CLocale, AMillionFloatsMatchPrintf) {
    std::mt19937 rng(20261207);
    std::uniform_real_distribution<float> coordinate(-5000.0f, 5000.0f);
    std::uniform_int_distribution<int> small(-4000000, 4000000);
    int mismatches = 0;
    for (int i = 0; i < 1000000 && mismatches < 10; ++i) {
        float v;
        switch (i % 4) {
            case 0:
                v = FromBits(static_cast<std::uint32_t>(rng()));
                break;
            case 1:
                v = coordinate(rng);
                break;
            case 2:
                v = static_cast<float>(small(rng)) / 128.0f / 1024.0f;
                break;  // ties
            default:
                v = std::ldexp(static_cast<float>(rng() & 0xffffff), static_cast<int>(rng() % 60) - 50);
                break;
        }
        if (!std::isfinite(v)) continue;
        const std::string expected = Printf(Conversion::F, static_cast<double>(v));
        if (Float(v) != expected) {
            ++mismatches;
            ADD_FAILURE() << "value " << Printf(Conversion::NineG, static_cast<double>(v)) << ": " << Float(v) << " vs "
                          << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(CLocale, IntegersMatchPrintf) {
    const std::int32_t cases[] = {0, -1, 1, 9, 10, -10, 2147483647, -2147483647 - 1, 123456789};
    for (std::int32_t v : cases) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%d", v);
        EXPECT_EQ(Int(v), expected);
    }
}

// Integers of every length and sign, for the digit writer's branches by
// length.
TEST_F(CLocale, RandomIntegersMatchPrintf) {
    std::mt19937 rng(20261208);
    for (int i = 0; i < 200000; ++i) {
        const auto v = static_cast<std::int32_t>(rng() >> (rng() % 32));
        for (const std::int32_t n : {v, -v}) {
            char expected[32];
            std::snprintf(expected, sizeof expected, "%d", n);
            ASSERT_EQ(Int(n), expected);
        }
    }
}

// The running index counts on in decimal as %d counts.
TEST(NumberText, TheRunningIndexCountsAsPrintfDoes) {
    numtext::RunningIndex index;
    char text[32];
    char expected[16];
    for (std::int32_t n = 0; n < 2000000; ++n, index.Next()) {
        const char* end = index.Put(text);
        std::snprintf(expected, sizeof expected, "%d", n);
        ASSERT_EQ(std::string(static_cast<const char*>(text), end), expected);
    }
}

// A running index started anywhere counts on from there, across the
// lengths of the digits.
TEST(NumberText, ARunningIndexStartedAnywhereCountsOnAsPrintfDoes) {
    for (const std::uint32_t start : {0u, 1u, 9u, 10u, 99u, 12345u, 999999u, 2147483600u}) {
        numtext::RunningIndex index(start);
        char text[32];
        char expected[16];
        for (std::uint32_t n = start; n < start + 48; ++n, index.Next()) {
            const char* end = index.Put(text);
            std::snprintf(expected, sizeof expected, "%u", n);
            ASSERT_EQ(std::string(static_cast<const char*>(text), end), expected) << start;
        }
    }
}

// The six decimals are made by multiplication; every one of them is
// checked.
TEST(NumberText, EverySixDigitFractionIsWrittenExactly) {
    char text[8] = {};
    char expected[16];
    for (std::uint32_t n = 0; n < 1000000; ++n) {
        numtext::detail::WriteSixDigits(text, n);
        std::snprintf(expected, sizeof expected, "%06u", n);
        ASSERT_EQ(std::string(text, 6), expected) << n;
    }
}

TEST_F(CLocale, VersionMatchesThreeTwoF) {
    for (double v : {1.1, 1.0, 0.0, 10.25, -1.0, 0.005, 123.456})
        EXPECT_EQ(Version(v), Printf(Conversion::ThreeTwoF, v)) << v;
    EXPECT_EQ(Version(1.1), "1.10");
}

// The text does not follow the process locale.
TEST(NumberTextLocale, CommaDecimalLocaleChangesNothing) {
    const testlocale::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << testlocale::kNoCommaLocale;
    ASSERT_EQ(Printf(Conversion::F, 0.5), "0,500000") << comma.Name();
    EXPECT_EQ(Float(0.5f), "0.500000");
    EXPECT_EQ(Version(1.1), "1.10");
}

}  // namespace
