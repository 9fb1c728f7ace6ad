// The plain ways to read patch text, for the reader and the tokeniser to be
// measured against: a tokeniser that takes every byte with fgetc and tests
// it with strchr, and a reader that checks keywords with strcmp and converts
// numbers with atoi and atof, token by token; and the same reader on the
// project's block tokeniser with std::from_chars for the numbers (what the
// standard library's own number parsing gives, without the reader's).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "patchio/PatchIO.h"

namespace reference {

class PlainTokeniser {
public:
    PlainTokeniser(std::FILE* input, const char* delimiters) : input_(input), delimiters_(delimiters) {}
    // 1 when the token was ended by a delimiter or the length limit, 0 at
    // the end of the input.
    std::int32_t NextToken();
    const char* Token() const { return token_; }

private:
    bool IsDelimiter(int c) const { return std::strchr(delimiters_, c) != nullptr; }

    std::FILE* input_;
    const char* delimiters_;
    char token_[80] = {};
};

// Reads path into set (emptied first); answers 1 when the whole expected
// sequence was read.
std::int32_t Read(PatchIO& set, const char* path);
// The same with the block tokeniser and std::from_chars. For text of the
// writer's own forms, which from_chars reads as atoi and atof do.
std::int32_t ReadFromChars(PatchIO& set, const char* path);

}  // namespace reference
