// A delimiter tokeniser for a stream that its user reads to where it stops
// and then closes, as the patch text reader does with its file. It gives
// exactly the tokens and results of Tokeniser over the same stream, but
// reads the stream in large blocks and scans them in memory, which is
// several times faster than a read call per byte. The price: the stream is
// left wherever the last block ended, not just after the last character of
// the last token.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

class BlockTokeniser {
public:
    static constexpr int kBufferSize = 80;
    static constexpr int kMaxLength = kBufferSize - 1;
    // Bytes read from the stream at a time.
    static constexpr std::size_t kBlockSize = std::size_t{1} << 15;

    // Borrows input (which may be null). Reads nothing yet.
    explicit BlockTokeniser(std::FILE* input);
    BlockTokeniser(const BlockTokeniser&) = delete;
    BlockTokeniser& operator=(const BlockTokeniser&) = delete;

    // As Tokeniser::SetDelimiters: the first kMaxLength characters of
    // newdelim (not null) are delimiters, and so is the zero byte.
    void SetDelimiters(const char* newdelim);

    // As Tokeniser::NextToken: 1 when the token was ended by a delimiter or
    // by the length limit, 0 when the input ended first.
    std::int32_t NextToken();

    const char* GetToken() const { return token_; }
    // The length of the token text, 0 to kMaxLength.
    std::int32_t GetTokenLength() const { return length_; }
    const char* GetDelimiters() const { return delimiters_; }

private:
    // Classes of the bytes in a block. The zero byte has a class of its own
    // because a zero also marks the end of the block read so far.
    // Bytes readable past the end of a block: the end zero and room for a
    // fixed-size copy of a short token.
    static constexpr std::size_t kSlack = 16;
    enum : unsigned char { kTokenChar = 0, kDelimiter = 1, kZero = 2 };

    bool Refill();
    const unsigned char* SkipTokenChars(const unsigned char* p, const unsigned char* limit) const;
    bool AtBlockEnd() const { return cursor_ == end_; }
    // Reads one character past a token that reached the length limit, as
    // the byte-by-byte tokeniser does; false when the input has ended.
    bool DropOne();

    char delimiters_[kBufferSize];
    char token_[kBufferSize];
    std::int32_t length_ = 0;
    std::FILE* input_;
    unsigned char classes_[256];
    std::unique_ptr<unsigned char[]> block_;
    const unsigned char* cursor_;
    const unsigned char* end_;
};
