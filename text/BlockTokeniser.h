// The one tokeniser for reading patch text in bulk. It gives exactly the
// tokens and results of Tokeniser over the same bytes, but reads them in
// large blocks and scans them in memory, which is several times faster than
// a read call per byte. It reads a C stream or text in memory, and can tell
// where each token stands (line and column) for readers that report places.
//
// A stream is read ahead to the end of a block, so it is left wherever the
// last block ended, not just after the last character of the last token: it
// suits readers that read their input to where they stop and then close it.
// A stream that is not a regular file (a pipe, a terminal) is read only as
// far as the next delimiter, so a token is handed out as soon as its
// delimiter has arrived.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// A place in the input: line and column from 1; columns count bytes, so a
// tab is one column.
struct TextPosition {
    std::int64_t line = 1;
    std::int64_t column = 1;
};

class BlockTokeniser {
public:
    static constexpr int kBufferSize = 80;
    static constexpr int kMaxLength = kBufferSize - 1;
    // Bytes read from the input at a time.
    static constexpr std::size_t kBlockSize = std::size_t{1} << 15;

    // Borrows input (which may be null). Reads nothing yet.
    explicit BlockTokeniser(std::FILE* input);
    // Reads the size bytes at text, which must stay valid while tokens are
    // taken. Copies nothing yet.
    BlockTokeniser(const char* text, std::size_t size);
    BlockTokeniser(const BlockTokeniser&) = delete;
    BlockTokeniser& operator=(const BlockTokeniser&) = delete;

    // As Tokeniser::SetDelimiters: the first kMaxLength characters of
    // newdelim (not null) are delimiters, and so is the zero byte.
    void SetDelimiters(const char* newdelim);

    // Keeps count of line ends from here on, so that TokenPosition can tell
    // where tokens stand. Call it before the first NextToken. The count
    // costs one pass over each block; without it positions are not known.
    void TrackPositions() { track_ = true; }

    // As Tokeniser::NextToken: 1 when the token was ended by a delimiter or
    // by the length limit, 0 when the input ended first.
    std::int32_t NextToken();

    const char* GetToken() const { return token_; }
    // The length of the token text, 0 to kMaxLength.
    std::int32_t GetTokenLength() const { return length_; }
    const char* GetDelimiters() const { return delimiters_; }

    // Where the last token's first byte stands; for an empty token at the
    // end of the input, where the input ended. Only with TrackPositions.
    TextPosition TokenPosition();
    // Whether the last token reached the length limit with more token
    // characters after it: the one after the limit was dropped and the rest
    // comes as the next token.
    bool TokenWasCut() const { return cut_; }
    // Bytes of input consumed so far.
    std::int64_t Consumed() const { return blockOffset_ + (cursor_ - block_.get()); }

private:
    // Classes of the bytes in a block. The zero byte has a class of its own
    // because a zero also marks the end of the block read so far.
    // Bytes readable past the end of a block: the end zero and room for a
    // fixed-size copy of a short token.
    static constexpr std::size_t kSlack = 16;
    enum : unsigned char { kTokenChar = 0, kDelimiter = 1, kZero = 2 };

    bool Refill();
    std::size_t ReadBlock();
    std::size_t ReadUpToDelimiter();
    const unsigned char* SkipTokenChars(const unsigned char* p, const unsigned char* limit) const;
    bool AtBlockEnd() const { return cursor_ == end_; }
    // Reads one character past a token that reached the length limit, as
    // the byte-by-byte tokeniser does; false when the input has ended.
    bool DropOne();
    // Counts the line ends of the block up to to.
    void CountLinesTo(const unsigned char* to);

    char delimiters_[kBufferSize];
    char token_[kBufferSize];
    std::int32_t length_ = 0;
    bool cut_ = false;
    std::FILE* input_ = nullptr;
    bool wholeBlocks_ = true;  // reading ahead cannot wait for input that has not come
    const char* text_ = nullptr;
    std::size_t textLeft_ = 0;
    unsigned char classes_[256];
    std::unique_ptr<unsigned char[]> block_;
    const unsigned char* cursor_;
    const unsigned char* end_;
    std::int64_t blockOffset_ = 0;  // of the block's first byte in the input

    // Positions, when tracked: line ends counted up to countedTo_, and the
    // start of the last token, whose place is taken before its block goes.
    bool track_ = false;
    const unsigned char* countedTo_;
    std::int64_t lineEnds_ = 0;
    std::int64_t lineStart_ = 0;  // offset of the first byte of the current line
    const unsigned char* tokenStart_ = nullptr;
    bool startKnown_ = false;
    TextPosition start_;
};
