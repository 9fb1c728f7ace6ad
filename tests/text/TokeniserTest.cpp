#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "TestFiles.h"
#include "os/Stream.h"
#include "text/Tokeniser.h"

namespace {

using testfiles::TempDir;

const char kFormatDelimiters[] = "\r\t\n {}";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A stream over exactly these bytes, read in binary mode.
class ByteStream {
public:
    explicit ByteStream(const std::string& bytes) {
        const std::string path = dir_.File("input.bin");
        testfiles::WriteBytes(path, bytes);
        file_.reset(std::fopen(path.c_str(), "rb"));
    }
    std::FILE* get() const { return file_.get(); }

private:
    TempDir dir_;
    FilePtr file_;
};

using Tokens = std::vector<std::pair<std::string, int>>;

// Every token with its result, up to and including the first result of 0.
Tokens ReadAll(std::FILE* file, const std::string& delimiters) {
    Tokeniser tokens(file);
    tokens.SetDelimiters(delimiters.c_str());
    Tokens out;
    for (int guard = 0; guard < 10000; ++guard) {
        const int result = tokens.NextToken();
        out.emplace_back(tokens.GetToken(), result);
        EXPECT_EQ(static_cast<std::size_t>(tokens.GetTokenLength()), std::strlen(tokens.GetToken()));
        if (result == 0) break;
    }
    return out;
}

// The same through NextTokenUnlocked, with the stream locked once around
// the whole run.
Tokens ReadAllUnlocked(std::FILE* file, const std::string& delimiters) {
    os::LockedStream locked(file);
    Tokeniser tokens(file);
    tokens.SetDelimiters(delimiters.c_str());
    Tokens out;
    for (int guard = 0; guard < 10000; ++guard) {
        const int result = tokens.NextTokenUnlocked();
        out.emplace_back(tokens.GetToken(), result);
        if (result == 0) break;
    }
    return out;
}

Tokens ReadAll(const std::string& bytes, const std::string& delimiters) {
    ByteStream stream(bytes);
    return ReadAll(stream.get(), delimiters);
}

// The tokeniser's contract written the plain way: fgetc for every byte and
// strchr on the delimiter text for every character.
Tokens ReferenceTokens(std::FILE* file, const char* delimiters) {
    Tokens out;
    for (;;) {
        char token[80] = {};
        int c = std::fgetc(file);
        while (c != EOF && std::strchr(delimiters, c)) c = std::fgetc(file);
        int n = 0;
        while (n < 79 && c != EOF && !std::strchr(delimiters, c)) {
            token[n++] = static_cast<char>(c);
            c = std::fgetc(file);
        }
        token[n] = '\0';
        out.emplace_back(token, c != EOF ? 1 : 0);
        if (c == EOF) return out;
    }
}

std::string Repeat(char c, std::size_t count) { return std::string(count, c); }

// 100 distinct characters, none a delimiter of the format.
std::string Numbered(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text.push_back(static_cast<char>('0' + i % 75));
    return text;
}

struct TokenCase {
    const char* name;
    std::string bytes;
    std::string delimiters;
    Tokens expected;
};

std::vector<TokenCase> TokenCases() {
    const std::string hundred = Numbered(100);
    return {
        {"tab and newline", "VERSION\t1.10\n", kFormatDelimiters, {{"VERSION", 1}, {"1.10", 1}, {"", 0}}},
        {"braces are separators", "  {  PATCH 7 }\r\n", kFormatDelimiters, {{"PATCH", 1}, {"7", 1}, {"", 0}}},
        {"token cut by the end", "abc", kFormatDelimiters, {{"abc", 0}}},
        {"only delimiters", "\r\n\t {} }{", kFormatDelimiters, {{"", 0}}},
        {"empty stream", "", kFormatDelimiters, {{"", 0}}},
        {"zero byte separates", std::string("ab\0cd\n", 6), kFormatDelimiters, {{"ab", 1}, {"cd", 1}, {"", 0}}},
        {"byte 255 is a character",
         "a\xff"
         "b\n",
         kFormatDelimiters,
         {{"a\xff"
           "b",
           1},
          {"", 0}}},
        {"100 characters drop the 80th",
         hundred + "\n",
         kFormatDelimiters,
         {{hundred.substr(0, 79), 1}, {hundred.substr(80), 1}, {"", 0}}},
        {"79 characters are one token", Repeat('x', 79) + "\n", kFormatDelimiters, {{Repeat('x', 79), 1}, {"", 0}}},
        {"80 characters lose the last", Repeat('x', 79) + "y\n", kFormatDelimiters, {{Repeat('x', 79), 1}, {"", 0}}},
        {"79 characters at the end", Repeat('x', 79), kFormatDelimiters, {{Repeat('x', 79), 0}}},
        {"80 characters at the end", Repeat('x', 79) + "y", kFormatDelimiters, {{Repeat('x', 79), 1}, {"", 0}}},
        {"empty set keeps blanks", "ab cd\n", "", {{"ab cd\n", 0}}},
        {"empty set splits at zero", std::string("ab\0cd", 5), "", {{"ab", 1}, {"cd", 0}}},
        {"byte 255 as a delimiter",
         "a\xff"
         "b",
         "\xff",
         {{"a", 1}, {"b", 0}}},
        {"runs of delimiters", "\n\n a \t\t b\r\n\r\n", kFormatDelimiters, {{"a", 1}, {"b", 1}, {"", 0}}},
    };
}

TEST(Tokeniser, SplitsStreamsAsTheContractSays) {
    for (const TokenCase& c : TokenCases()) {
        EXPECT_EQ(ReadAll(c.bytes, c.delimiters), c.expected) << c.name;
    }
}

TEST(Tokeniser, StartsEmptyAndReadsNothingOnConstruction) {
    ByteStream stream("abc def");
    {
        Tokeniser tokens(stream.get());
        EXPECT_STREQ(tokens.GetToken(), "");
        EXPECT_STREQ(tokens.GetDelimiters(), "");
    }
    EXPECT_EQ(std::fgetc(stream.get()), 'a');
}

TEST(Tokeniser, NullStreamGivesNothingOnEveryCall) {
    Tokeniser tokens(nullptr);
    tokens.SetDelimiters(kFormatDelimiters);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tokens.NextToken(), 0);
        EXPECT_STREQ(tokens.GetToken(), "");
        EXPECT_EQ(tokens.NextTokenUnlocked(), 0);
        EXPECT_EQ(tokens.GetTokenLength(), 0);
    }
}

TEST(Tokeniser, KeepsAnsweringZeroAfterTheEnd) {
    ByteStream stream("last");
    Tokeniser tokens(stream.get());
    tokens.SetDelimiters(kFormatDelimiters);
    EXPECT_EQ(tokens.NextToken(), 0);
    EXPECT_STREQ(tokens.GetToken(), "last");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tokens.NextToken(), 0);
        EXPECT_STREQ(tokens.GetToken(), "");
    }
}

TEST(Tokeniser, BorrowsTheStreamAndConsumesOnlyTheEndingDelimiter) {
    ByteStream stream("ab  cd");
    {
        Tokeniser tokens(stream.get());
        tokens.SetDelimiters(" ");
        ASSERT_EQ(tokens.NextToken(), 1);
        EXPECT_STREQ(tokens.GetToken(), "ab");
    }
    // Still open and positioned right after the blank that ended "ab".
    EXPECT_EQ(std::fgetc(stream.get()), ' ');
    EXPECT_EQ(std::fgetc(stream.get()), 'c');
}

TEST(Tokeniser, DropsTheCharacterAfterALongRunFromTheStream) {
    ByteStream stream(Repeat('x', 79) + "yz");
    Tokeniser tokens(stream.get());
    tokens.SetDelimiters(kFormatDelimiters);
    ASSERT_EQ(tokens.NextToken(), 1);
    EXPECT_EQ(std::fgetc(stream.get()), 'z');
}

TEST(Tokeniser, DelimiterTextIsCutTo79Characters) {
    for (const std::size_t length : {79u, 80u, 100u}) {
        // '-' and 'x' fill the first 79 characters, 'y' any later ones.
        const std::string text = Repeat('-', 78) + "x" + Repeat('y', length - 79);
        ByteStream stream("axbyc-d");
        Tokeniser tokens(stream.get());
        tokens.SetDelimiters(text.c_str());
        EXPECT_EQ(std::strlen(tokens.GetDelimiters()), 79u) << length;
        Tokens got;
        for (int result = 1; result != 0;) {
            result = tokens.NextToken();
            got.emplace_back(tokens.GetToken(), result);
        }
        EXPECT_EQ(got, (Tokens{{"a", 1}, {"byc", 1}, {"d", 0}})) << length;
    }
}

TEST(Tokeniser, SettingDelimitersLeavesTheTokenAlone) {
    ByteStream stream("ab x ycd");
    Tokeniser tokens(stream.get());
    tokens.SetDelimiters(" ");
    ASSERT_EQ(tokens.NextToken(), 1);
    tokens.SetDelimiters("c");
    EXPECT_STREQ(tokens.GetToken(), "ab");
    EXPECT_STREQ(tokens.GetDelimiters(), "c");
    // The new set applies from the next token on: "c" separates, blank not.
    ASSERT_EQ(tokens.NextToken(), 1);
    EXPECT_STREQ(tokens.GetToken(), "x y");
    ASSERT_EQ(tokens.NextToken(), 0);
    EXPECT_STREQ(tokens.GetToken(), "d");
}

// A tokeniser of a derived kind is deleted whole through a pointer to the
// base: its destructor is virtual.
static_assert(std::has_virtual_destructor_v<Tokeniser>, "Tokeniser's destructor must be virtual");

// Random bytes (zero and 255 included, long runs now and then) against
// random delimiter sets: the same tokens and results as fgetc and strchr.
// Some inputs are larger than the stream's buffer.
TEST(Tokeniser, AgreesWithFgetcAndStrchrOnRandomInput) {
    std::mt19937 rng(20240611);
    TempDir dir;
    const std::string path = dir.File("random.bin");
    for (int round = 0; round < 300; ++round) {
        std::uniform_int_distribution<int> byteDist(0, 255);
        std::string delimiters;
        const int setSize = std::uniform_int_distribution<int>(0, 12)(rng);
        for (int i = 0; i < setSize; ++i) {
            const char d = static_cast<char>(byteDist(rng));
            if (d != '\0') delimiters.push_back(d);
        }
        const std::size_t length = round % 25 == 0 ? 20000 : std::uniform_int_distribution<std::size_t>(0, 600)(rng);
        std::string bytes;
        while (bytes.size() < length) {
            if (std::uniform_int_distribution<int>(0, 40)(rng) == 0 || delimiters.empty()) {
                bytes += Repeat('q', std::uniform_int_distribution<std::size_t>(70, 200)(rng));
            } else if (byteDist(rng) < 90) {
                bytes.push_back(delimiters[std::uniform_int_distribution<std::size_t>(0, delimiters.size() - 1)(rng)]);
            } else {
                bytes.push_back(static_cast<char>(byteDist(rng)));
            }
        }
        testfiles::WriteBytes(path, bytes);
        FilePtr ours(std::fopen(path.c_str(), "rb"));
        FilePtr unlocked(std::fopen(path.c_str(), "rb"));
        FilePtr reference(std::fopen(path.c_str(), "rb"));
        ASSERT_TRUE(ours && unlocked && reference);
        const Tokens expected = ReferenceTokens(reference.get(), delimiters.c_str());
        ASSERT_EQ(ReadAll(ours.get(), delimiters), expected) << "round " << round;
        ASSERT_EQ(ReadAllUnlocked(unlocked.get(), delimiters), expected) << "round " << round;
    }
}

}  // namespace
