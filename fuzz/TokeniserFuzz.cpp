// The tokeniser over arbitrary bytes and arbitrary delimiter sets, checked
// token by token against the plain model of its rule: bytes read one at a
// time, a byte is a delimiter when strchr finds it in the delimiter text
// (which finds the zero byte too), tokens of at most 79 characters.
//
// Input: one byte n, then n bytes of delimiter text (zero bytes and all),
// then the stream. n runs past the 79 characters the set keeps.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "text/Tokeniser.h"

namespace {

// Tokens read from one stream are bounded by its length; the extra calls
// check that the end stays the end.
constexpr int kCallsAfterEnd = 2;

class ModelTokeniser {
public:
    ModelTokeniser(const std::uint8_t* data, std::size_t size, const std::string& delimiters)
        : data_(data), size_(size), delimiters_(delimiters.substr(0, Tokeniser::kMaxLength)) {}

    std::int32_t Next(std::string& token) {
        token.clear();
        int c = Get();
        while (c != EOF && IsDelimiter(c)) c = Get();
        while (token.size() < static_cast<std::size_t>(Tokeniser::kMaxLength) && c != EOF && !IsDelimiter(c)) {
            token.push_back(static_cast<char>(c));
            c = Get();
        }
        return c != EOF ? 1 : 0;
    }

private:
    int Get() { return at_ < size_ ? data_[at_++] : EOF; }
    bool IsDelimiter(int c) const { return std::strchr(delimiters_.c_str(), c) != nullptr; }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    std::string delimiters_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t declared = data[0];
    const std::size_t delimiterBytes = declared < size - 1 ? declared : size - 1;
    // As a C string, the delimiter text ends at its first zero byte.
    const std::string text(reinterpret_cast<const char*>(data + 1), delimiterBytes);
    const std::string delimiters(text.c_str());
    const std::uint8_t* stream = data + 1 + delimiterBytes;
    const std::size_t streamSize = size - 1 - delimiterBytes;

    // A stream over a copy of the bytes (fmemopen wants a writable buffer).
    std::string bytes(reinterpret_cast<const char*>(stream), streamSize);
    std::FILE* input = fmemopen(bytes.data(), bytes.size(), "r");
    fuzz::Check(input != nullptr, "the memory stream opens");

    Tokeniser tokens(input);
    tokens.SetDelimiters(text.c_str());
    fuzz::Check(std::strlen(tokens.GetDelimiters()) <= static_cast<std::size_t>(Tokeniser::kMaxLength),
                "the delimiter set holds at most 79 characters");
    fuzz::Check(delimiters.compare(0, Tokeniser::kMaxLength, tokens.GetDelimiters()) == 0,
                "the delimiter set is the text's first 79 characters");

    ModelTokeniser model(stream, streamSize, delimiters);
    std::string expected;
    int afterEnd = 0;
    while (afterEnd < kCallsAfterEnd) {
        const std::int32_t answer = tokens.NextToken();
        fuzz::Check(answer == model.Next(expected), "NextToken answers as the model");
        fuzz::Check(expected == tokens.GetToken(), "the token is the model's");
        if (answer == 0) ++afterEnd;
    }
    std::fclose(input);
    return 0;
}
