// The block tokeniser must split every stream exactly as Tokeniser does:
// the same tokens, the same results, the same end. Compared side by side on
// the format's edge cases, on tokens that straddle two blocks, and on
// random bytes with random delimiter sets.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "TestFiles.h"
#include "text/BlockTokeniser.h"
#include "text/Tokeniser.h"

namespace {

const char kFormatDelimiters[] = "\r\t\n {}";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

using Tokens = std::vector<std::pair<std::string, int>>;

// Every token with its result, up to the first result of 0 and two calls
// beyond it (which must stay at 0 with an empty token).
template <typename Splitter>
Tokens Split(std::FILE* file, const std::string& delimiters) {
    Splitter tokens(file);
    tokens.SetDelimiters(delimiters.c_str());
    Tokens out;
    int after = 0;
    while (after < 3) {
        const int result = tokens.NextToken();
        out.emplace_back(tokens.GetToken(), result);
        if (result == 0) ++after;
    }
    return out;
}

// Splits bytes with both tokenisers; also checks GetLength on the way.
struct BothWays {
    Tokens plain;
    Tokens block;
};

BothWays SplitBoth(const std::string& bytes, const std::string& delimiters) {
    testfiles::TempDir dir;
    const std::string path = dir.File("input.bin");
    testfiles::WriteBytes(path, bytes);
    FilePtr a(std::fopen(path.c_str(), "rb"));
    FilePtr b(std::fopen(path.c_str(), "rb"));
    return {Split<Tokeniser>(a.get(), delimiters), Split<BlockTokeniser>(b.get(), delimiters)};
}

struct Case {
    const char* name;
    std::string bytes;
    std::string delimiters;
};

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

class BlockTokeniserCases : public ::testing::TestWithParam<Case> {};

TEST_P(BlockTokeniserCases, SplitsAsTokeniserDoes) {
    const BothWays both = SplitBoth(GetParam().bytes, GetParam().delimiters);
    EXPECT_EQ(both.block, both.plain);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, BlockTokeniserCases,
    ::testing::Values(Case{"Version", "VERSION\t1.10\n", kFormatDelimiters},
                      Case{"Braces", "  {  PATCH 7 }\r\n", kFormatDelimiters},
                      Case{"NoFinalDelimiter", "abc", kFormatDelimiters},
                      Case{"OnlyDelimiters", " \t\r\n{}", kFormatDelimiters},
                      Case{"Empty", "", kFormatDelimiters},
                      Case{"ZeroByte", std::string("ab\0cd\n", 6), kFormatDelimiters},
                      Case{"ZeroBytesOnly", std::string("\0\0\0", 3), kFormatDelimiters},
                      Case{"Byte255", "a\xff" "b\n", kFormatDelimiters},
                      Case{"Long100", Repeat('x', 100) + "\n", kFormatDelimiters},
                      Case{"Exactly79", Repeat('y', 79) + "\n", kFormatDelimiters},
                      Case{"Exactly80", Repeat('y', 80) + "\n", kFormatDelimiters},
                      Case{"Long79AtEnd", Repeat('z', 79), kFormatDelimiters},
                      Case{"Long80AtEnd", Repeat('z', 80), kFormatDelimiters},
                      Case{"Long158", Repeat('w', 158) + " v", kFormatDelimiters},
                      Case{"EmptySet", "ab cd\n", ""},
                      Case{"EmptySetZero", std::string("ab\0cd", 5), ""}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// A token of each telling length placed so that it starts, ends or is cut
// by the length limit right at the end of the first block.
TEST(BlockTokeniser, TokensAcrossTheBlockEnd) {
    const std::size_t block = BlockTokeniser::kBlockSize;
    for (const std::size_t length : {1u, 2u, 78u, 79u, 80u, 81u, 100u}) {
        for (std::size_t start = block - length - 2; start <= block + 1; ++start) {
            const std::string bytes = Repeat(' ', start) + Repeat('t', length) + "\n" + "next\n";
            const BothWays both = SplitBoth(bytes, kFormatDelimiters);
            ASSERT_EQ(both.block, both.plain) << "length " << length << " starting at " << start;
            // The same without a delimiter after the token.
            const BothWays cut = SplitBoth(Repeat(' ', start) + Repeat('t', length), kFormatDelimiters);
            ASSERT_EQ(cut.block, cut.plain) << "length " << length << " ending the input at " << start + length;
        }
    }
}

// Random bytes over a few blocks: runs of every length, zero bytes, 255,
// and delimiter sets of every kind, the empty one included.
TEST(BlockTokeniser, RandomStreams) {
    std::mt19937 random(20240611);
    const std::string alphabet = std::string("\r\t\n {}ab-.09\xff", 14) + std::string(1, '\0');
    for (int round = 0; round < 12; ++round) {
        std::string bytes;
        const std::size_t size = BlockTokeniser::kBlockSize * 2 + static_cast<std::size_t>(random() % 5000);
        while (bytes.size() < size) {
            const char c = alphabet[random() % alphabet.size()];
            const std::size_t run = random() % 8 == 0 ? random() % 120 : 1 + random() % 3;
            bytes += Repeat(c, run);
        }
        std::string delimiters;
        const std::size_t count = random() % 6;
        for (std::size_t k = 0; k < count; ++k) {
            const char c = alphabet[random() % (alphabet.size() - 1)];  // not the zero byte
            delimiters += c;
        }
        const BothWays both = SplitBoth(bytes, delimiters);
        ASSERT_EQ(both.block, both.plain) << "round " << round << ", delimiters \"" << delimiters << "\"";
    }
}

TEST(BlockTokeniser, LengthIsTheTokenLength) {
    testfiles::TempDir dir;
    const std::string path = dir.File("input.bin");
    testfiles::WriteBytes(path, "VERSION\t1.10\n" + Repeat('q', 120) + "\n-12.500000 ");
    FilePtr file(std::fopen(path.c_str(), "rb"));
    BlockTokeniser tokens(file.get());
    tokens.SetDelimiters(kFormatDelimiters);
    for (int result = 1; result != 0;) {
        result = tokens.NextToken();
        EXPECT_EQ(static_cast<std::size_t>(tokens.GetTokenLength()), std::strlen(tokens.GetToken()));
    }
}

TEST(BlockTokeniser, NullStreamGivesNothing) {
    BlockTokeniser tokens(nullptr);
    tokens.SetDelimiters(kFormatDelimiters);
    EXPECT_EQ(tokens.NextToken(), 0);
    EXPECT_STREQ(tokens.GetToken(), "");
    EXPECT_EQ(tokens.NextToken(), 0);
}

TEST(BlockTokeniser, DelimiterTextIsCutAt79) {
    BlockTokeniser tokens(nullptr);
    const std::string hundred = Repeat('d', 100);
    tokens.SetDelimiters(hundred.c_str());
    EXPECT_EQ(std::string(tokens.GetDelimiters()), Repeat('d', 79));
}

}  // namespace
