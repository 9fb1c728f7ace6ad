// Splits a borrowed C stream into tokens: maximal runs of non-delimiter
// bytes separated by runs of delimiter bytes. The patch text reader walks
// its files with it.
#pragma once

#include <cstdint>
#include <cstdio>

class Tokeniser {
public:
    // Token and delimiter buffers hold this many characters: at most
    // kMaxLength of text followed by its terminating zero.
    static constexpr int kBufferSize = 80;
    static constexpr int kMaxLength = kBufferSize - 1;

    // Borrows input (which may be null); the delimiter set and the token
    // start empty. Reads nothing.
    explicit Tokeniser(std::FILE* input);
    Tokeniser(const Tokeniser&) = default;
    Tokeniser& operator=(const Tokeniser&) = default;
    // Releases nothing: the stream stays open, positioned after the last
    // character read.
    virtual ~Tokeniser();

    // Replaces the delimiter set with the first kMaxLength characters of
    // newdelim, which must not be null. The zero byte is always a delimiter.
    void SetDelimiters(const char* newdelim);

    // Reads the next token. Answers 1 when the token was ended by a
    // delimiter (consumed) or by the length limit (the character after the
    // kMaxLength-th is dropped), 0 when the input ended first, also when the
    // token buffer holds text that ran up to the end of the input.
    std::int32_t NextToken();
    // NextToken for a caller that holds the stream's lock itself (flockfile,
    // or os::LockedStream) across many tokens.
    std::int32_t NextTokenUnlocked();

    const char* GetToken() const { return token_; }
    // The length of the token text, 0 to kMaxLength.
    std::int32_t GetTokenLength() const { return length_; }
    const char* GetDelimiters() const { return delimiters_; }

private:
    // Character class of every stream result, indexed by the result + 1 so
    // that the end of input (EOF, -1) has a class of its own.
    enum : unsigned char { kTokenChar = 0, kDelimiter = 1, kEnd = 2 };
    static constexpr int kClasses = 257;

    void BuildClasses();

    char delimiters_[kBufferSize];
    char token_[kBufferSize];
    std::FILE* input_;
    std::int32_t length_ = 0;
    unsigned char classes_[kClasses];
};
