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
Tokens Split(Splitter&& tokens, const std::string& delimiters) {
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

// Splits bytes with both tokenisers, the block one from a file and from
// memory.
struct BothWays {
    Tokens plain;
    Tokens block;
    Tokens text;
};

BothWays SplitBoth(const std::string& bytes, const std::string& delimiters) {
    testfiles::TempDir dir;
    const std::string path = dir.File("input.bin");
    testfiles::WriteBytes(path, bytes);
    FilePtr a(std::fopen(path.c_str(), "rb"));
    FilePtr b(std::fopen(path.c_str(), "rb"));
    return {Split(Tokeniser(a.get()), delimiters), Split(BlockTokeniser(b.get()), delimiters),
            Split(BlockTokeniser(bytes.data(), bytes.size()), delimiters)};
}

// The same split taking tokens in batches of random size where they are
// short, putting some batches back to take them one by one.
Tokens SplitInBatches(const std::string& bytes, const std::string& delimiters, std::mt19937& random) {
    BlockTokeniser tokens(bytes.data(), bytes.size());
    tokens.SetDelimiters(delimiters.c_str());
    Tokens out;
    int after = 0;
    BlockTokeniser::TokenView views[BlockTokeniser::kMaxBatch];
    while (after < 3) {
        const int count = 1 + static_cast<int>(random() % BlockTokeniser::kMaxBatch);
        if (after == 0 && tokens.TakeShortTokens(views, count)) {
            if (random() % 4 == 0) {
                tokens.PutBack();
            } else {
                for (int k = 0; k < count; ++k)
                    out.emplace_back(std::string(views[k].text, static_cast<std::size_t>(views[k].length)), 1);
                continue;
            }
        }
        const int result = tokens.NextToken();
        out.emplace_back(tokens.GetToken(), result);
        if (result == 0) ++after;
    }
    return out;
}

// A token with where it starts and whether the length limit cut it.
struct Placed {
    std::string text;
    std::int64_t line = 0, column = 0;
    bool cut = false;
    friend bool operator==(const Placed& a, const Placed& b) {
        return a.text == b.text && a.line == b.line && a.column == b.column && a.cut == b.cut;
    }
    friend void PrintTo(const Placed& p, std::ostream* os) {
        *os << testing::PrintToString(p.text) << "@" << p.line << ":" << p.column << (p.cut ? " cut" : "");
    }
};

// Every token of bytes with its place, walked byte by byte: a line ends
// after each newline, and a column is a byte.
std::vector<Placed> PlaceByHand(const std::string& bytes, const std::string& delimiterText) {
    // As the tokeniser takes its delimiter text: up to its first zero.
    const std::string delimiters = delimiterText.c_str();
    const auto delimiter = [&](unsigned char c) {
        return c == 0 || delimiters.find(static_cast<char>(c)) != std::string::npos;
    };
    std::vector<Placed> out;
    std::int64_t line = 1, column = 1;
    std::size_t i = 0;
    const auto step = [&] {
        if (bytes[i++] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    };
    for (;;) {
        while (i < bytes.size() && delimiter(static_cast<unsigned char>(bytes[i]))) step();
        if (i == bytes.size()) {
            out.push_back({"", line, column, false});  // where the input ends
            return out;
        }
        Placed token{"", line, column, false};
        while (i < bytes.size() && !delimiter(static_cast<unsigned char>(bytes[i])) &&
               token.text.size() < static_cast<std::size_t>(BlockTokeniser::kMaxLength)) {
            token.text.push_back(bytes[i]);
            step();
        }
        if (i < bytes.size()) {
            // The byte after the token: its delimiter, or the one the limit drops.
            token.cut = !delimiter(static_cast<unsigned char>(bytes[i]));
            step();
        }
        out.push_back(token);
    }
}

std::vector<Placed> PlaceWithTokeniser(const std::string& bytes, const std::string& delimiters) {
    BlockTokeniser tokens(bytes.data(), bytes.size());
    tokens.SetDelimiters(delimiters.c_str());
    tokens.TrackPositions();
    std::vector<Placed> out;
    for (;;) {
        const int result = tokens.NextToken();
        const TextPosition at = tokens.TokenPosition();
        out.push_back({tokens.GetToken(), at.line, at.column, tokens.TokenWasCut()});
        // A token that ran to the end is followed by the end itself.
        if (result == 0 && tokens.GetTokenLength() == 0) return out;
    }
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
    EXPECT_EQ(both.text, both.plain);
}

TEST_P(BlockTokeniserCases, TellsWhereEachTokenStands) {
    EXPECT_EQ(PlaceWithTokeniser(GetParam().bytes, GetParam().delimiters),
              PlaceByHand(GetParam().bytes, GetParam().delimiters));
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, BlockTokeniserCases,
                         ::testing::Values(Case{"Version", "VERSION\t1.10\n", kFormatDelimiters},
                                           Case{"Braces", "  {  PATCH 7 }\r\n", kFormatDelimiters},
                                           Case{"NoFinalDelimiter", "abc", kFormatDelimiters},
                                           Case{"OnlyDelimiters", " \t\r\n{}", kFormatDelimiters},
                                           Case{"Empty", "", kFormatDelimiters},
                                           Case{"ZeroByte", std::string("ab\0cd\n", 6), kFormatDelimiters},
                                           Case{"ZeroBytesOnly", std::string("\0\0\0", 3), kFormatDelimiters},
                                           Case{"Byte255",
                                                "a\xff"
                                                "b\n",
                                                kFormatDelimiters},
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
            ASSERT_EQ(both.text, both.plain) << "length " << length << " starting at " << start;
            const std::string lines = Repeat('\n', start) + Repeat('t', length) + "\n" + "next\n";
            ASSERT_EQ(PlaceWithTokeniser(lines, kFormatDelimiters), PlaceByHand(lines, kFormatDelimiters))
                << "length " << length << " starting at " << start;
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
        ASSERT_EQ(both.text, both.plain) << "round " << round;
        ASSERT_EQ(SplitInBatches(bytes, delimiters, random), both.plain) << "round " << round;
        const std::vector<Placed> placed = PlaceWithTokeniser(bytes, delimiters),
                                  byHand = PlaceByHand(bytes, delimiters);
        for (std::size_t k = 0; k < placed.size() && k < byHand.size(); ++k)
            ASSERT_EQ(placed[k], byHand[k]) << "round " << round << ", token " << k;
        ASSERT_EQ(placed.size(), byHand.size()) << "round " << round;
    }
}

// Line-shaped text like the format's, where batches succeed most of the
// time, across many blocks.
TEST(BlockTokeniser, BatchesOfShortTokensSplitAsTokeniserDoes) {
    std::mt19937 random(20261209);
    std::string bytes;
    while (bytes.size() < 3 * BlockTokeniser::kBlockSize) {
        bytes += "\t\t" + std::to_string(random() % 100000);
        for (int k = 0; k < 3; ++k) bytes += (random() % 9 ? "\t" : " {") + std::to_string(random() % 2000) + ".123456";
        bytes += random() % 50 ? "\n" : std::string(random() % 30, 'w') + "\r\n";
    }
    const BothWays both = SplitBoth(bytes, kFormatDelimiters);
    for (int round = 0; round < 4; ++round)
        ASSERT_EQ(SplitInBatches(bytes, kFormatDelimiters, random), both.plain) << "round " << round;
}

// The delimiters of a block are found once; a new delimiter set in the
// middle of a block must be used from the next token on, as Tokeniser uses it.
TEST(BlockTokeniser, NewDelimitersTakeEffectInsideABlock) {
    std::string bytes;
    for (int k = 0; bytes.size() < 2 * BlockTokeniser::kBlockSize; ++k) bytes += "a,b c;" + std::to_string(k) + "\t";
    const auto split = [](auto&& tokens) {
        Tokens out;
        for (int k = 0; k < 4000; ++k) {
            if (k % 500 == 0) tokens.SetDelimiters(k % 1000 == 0 ? ", \t" : ";\t");
            const int result = tokens.NextToken();
            out.emplace_back(tokens.GetToken(), result);
        }
        return out;
    };
    testfiles::TempDir dir;
    const std::string path = dir.File("input.bin");
    testfiles::WriteBytes(path, bytes);
    FilePtr a(std::fopen(path.c_str(), "rb"));
    const Tokens plain = split(Tokeniser(a.get()));
    EXPECT_EQ(split(BlockTokeniser(bytes.data(), bytes.size())), plain);
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
