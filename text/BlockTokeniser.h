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
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

#include "text/DelimiterScan.h"

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
    // The same, reading input in whole blocks even where it is no regular
    // file: for a caller that reads the stream to its end anyway.
    BlockTokeniser(std::FILE* input, bool wholeBlocks);
    // Reads the size bytes at text, which must stay valid while tokens are
    // taken. Copies nothing yet.
    BlockTokeniser(const char* text, std::size_t size);
    BlockTokeniser(const BlockTokeniser&) = delete;
    BlockTokeniser& operator=(const BlockTokeniser&) = delete;

    // As Tokeniser::SetDelimiters: the first kMaxLength characters of
    // newdelim (not null) are delimiters, and so is the zero byte.
    void SetDelimiters(const char* newdelim);

    // Asks goOn before each block it reads from here on (a block of a file
    // or of text in memory, or what a stream that could wait gives at a
    // time): once it answers false, the input ends where the blocks read so
    // far end, and Stopped() tells so. For callers that let a user stop a
    // long read.
    void AskBeforeBlocks(std::function<bool()> goOn) { goOn_ = std::move(goOn); }
    bool Stopped() const { return stopped_; }

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

    // Goes on from offset (a count of bytes from where the input began, as
    // Consumed counts them) as if everything before it had been consumed:
    // within the block at hand in either direction, beyond it by reading
    // from there (text in memory, or a stream that can seek). Not with
    // TrackPositions. False when the input cannot be moved there.
    bool MoveTo(std::int64_t offset);

    // Goes on from the first byte after the next line end ('\n') from where
    // the input stands, when it lies before input offset limit; false when
    // the input or the limit comes first.
    bool SkipLine(std::int64_t limit);
    // Passes the delimiters that stand next, which the next token would
    // pass anyway, so that Consumed tells where that token starts; from a
    // stream that could wait, only those in the block at hand. Not with
    // TrackPositions.
    void SkipDelimiters();
    // Whether a token character comes before any line end within the next
    // bytes bytes of the block at hand: a cheap look that reads nothing.
    bool TokenSoon(std::size_t bytes) const;

    // A token as it stands in the input, not NUL-terminated: followed by
    // its delimiter, with at least sixteen readable bytes from its start.
    struct TokenView {
        const char* text;
        std::int32_t length;
    };
    static constexpr int kMaxBatch = 16;
    // Takes the next count tokens at once, when they are the run of tokens
    // that NextToken would give with result 1 and each is shorter than
    // sixteen bytes, and all lie in the block at hand (a line of short
    // tokens, as readers of line-shaped text take them); otherwise takes
    // nothing and answers false. The views stay valid until the next token
    // is taken. GetToken, GetTokenLength and TokenPosition are for tokens
    // taken one at a time: a batch leaves them as they were.
    bool TakeShortTokens(TokenView* views, int count);
    // Puts back the tokens that the last TakeShortTokens took, for a
    // reader that finds them not what it expected and takes them again
    // one by one. Only right after TakeShortTokens.
    void PutBack();

private:
    // Classes of the bytes in a block. The zero byte has a class of its own
    // because a zero also marks the end of the block read so far.
    // Bytes readable past the end of a block: the end zero and room for a
    // fixed-size copy of a short token.
    static constexpr std::size_t kSlack = 16;
    enum : unsigned char { kTokenChar = 0, kDelimiter = 1, kZero = 2 };

    static constexpr std::size_t kWindow = 64;
    static constexpr unsigned kLongestShort = 15;
    bool MoveWindow(std::size_t at);
    bool FindInWindow(std::size_t at, std::size_t& start, unsigned& length) const;
    bool TakeShortToken();
    std::int32_t TakeToken();
    bool PassDelimiters(bool refill);
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
    std::function<bool()> goOn_;
    bool stopped_ = false;
    const char* text_ = nullptr;
    std::size_t textLeft_ = 0;
    const char* textStart_ = nullptr;  // the text in memory as given
    std::size_t textSize_ = 0;
    unsigned char classes_[256];
    DelimiterScan scan_;
    // Which of the 64 bytes of the block from windowAt_ on are delimiters;
    // several short tokens share a window.
    bool windowValid_ = false;
    std::size_t windowAt_ = 0;
    std::uint64_t windowDelimiters_ = 0;
    std::unique_ptr<unsigned char[]> block_;
    // Bit i of word k: whether the block's byte 64k+i is a delimiter; known
    // for the block read last once masksValid_.
    std::unique_ptr<std::uint64_t[]> masks_;
    bool masksValid_ = false;
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
    const unsigned char* batchFrom_ = nullptr;
    bool startKnown_ = false;
    TextPosition start_;
};

// Short tokens come from a window of 64 bytes whose delimiters are known: a
// few delimiters, then a token shorter than sixteen bytes and the delimiter
// that ends it, all inside the window. The window lies wholly inside the
// block, so every byte looked at is one of the input's and a zero byte is a
// delimiter like any other. Tokens that do not fit what is left of the
// window get a window that starts at the cursor; anything else (long runs,
// the end of the block) is left to TakeToken.

// Makes the window start at block offset at; false when the block has not
// 64 bytes left there (or the delimiter set is too large for the scan).
// The delimiters of the whole block are found the first time a window is
// wanted in it, 64 bytes to a word: a window is then two words shifted
// together, where finding its delimiters anew for every line of text cost a
// call and more bytes scanned than the block holds.
inline bool BlockTokeniser::MoveWindow(std::size_t at) {
    const unsigned char* const from = block_.get() + at;
    if (!scan_.Usable() || static_cast<std::size_t>(end_ - from) < kWindow) return false;
    if (!masksValid_) {
        const auto bytes = static_cast<std::size_t>(end_ - block_.get());
        scan_.MaskRun(block_.get(), (bytes + kWindow - 1) / kWindow, masks_.get());
        masksValid_ = true;
    }
    const std::size_t word = at / kWindow;
    const auto shift = static_cast<unsigned>(at % kWindow);
    // A window that starts inside a word takes the rest of the next; that
    // word exists, as the window ends inside the block.
    windowDelimiters_ = shift == 0 ? masks_[word] : (masks_[word] >> shift) | (masks_[word + 1] << (kWindow - shift));
    windowAt_ = at;
    windowValid_ = true;
    return true;
}

// Finds the short token at block offset at in the window: where it starts
// and how long it is. False when it does not lie whole in the window.
inline bool BlockTokeniser::FindInWindow(std::size_t at, std::size_t& start, unsigned& length) const {
    if (!windowValid_ || at < windowAt_ || at - windowAt_ >= kWindow) return false;
    const std::size_t offset = at - windowAt_;
    // Bits past the window's end shift in as zeros: they are never taken
    // for delimiters, so a token that reaches them is not found.
    const std::uint64_t delimiters = windowDelimiters_ >> offset;
    const std::uint64_t skipped = ~delimiters & (~std::uint64_t{0} >> offset);
    if (skipped == 0) return false;
    const unsigned first = LowestBit(skipped);
    const std::uint64_t after = delimiters >> first;
    if (after == 0) return false;
    length = LowestBit(after);
    start = at + first;
    return length <= kLongestShort;
}

inline bool BlockTokeniser::TakeShortToken() {
    const auto at = static_cast<std::size_t>(cursor_ - block_.get());
    std::size_t start = 0;
    unsigned length = 0;
    if (!FindInWindow(at, start, length) && !(MoveWindow(at) && FindInWindow(at, start, length))) return false;
    const unsigned char* text = block_.get() + start;
    std::memcpy(token_, text, kSlack);
    token_[length] = '\0';
    length_ = static_cast<std::int32_t>(length);
    tokenStart_ = text;
    cursor_ = text + length + 1;
    return true;
}

inline std::int32_t BlockTokeniser::NextToken() {
    cut_ = false;
    startKnown_ = false;
    if (TakeShortToken()) return 1;
    return TakeToken();
}

inline bool BlockTokeniser::TakeShortTokens(TokenView* views, int count) {
    const unsigned char* const block = block_.get();
    const auto from = static_cast<std::size_t>(cursor_ - block);
    // A line of tokens wants a window of its own: one that the last line
    // has used up more than a quarter of is moved to the cursor first, and
    // one that turns out too short for the line once more.
    bool moved = false;
    if (!windowValid_ || from < windowAt_ || from - windowAt_ > kWindow / 4) {
        if (!MoveWindow(from)) return false;
        moved = true;
    }
    for (;;) {
        // Tokens are the runs of zero bits of the window's delimiter mask,
        // found from bit position at on.
        const std::uint64_t delimiters = windowDelimiters_;
        unsigned at = static_cast<unsigned>(from - windowAt_);
        int k = 0;
        for (; k < count && at < kWindow; ++k) {
            const std::uint64_t tokenBits = ~delimiters & (~std::uint64_t{0} << at);
            if (tokenBits == 0) break;
            const unsigned start = LowestBit(tokenBits);
            const std::uint64_t ends = delimiters & (~std::uint64_t{0} << start);
            if (ends == 0) break;
            const unsigned end = LowestBit(ends);
            if (end - start > kLongestShort) return false;
            views[k] = {reinterpret_cast<const char*>(block + windowAt_ + start),
                        static_cast<std::int32_t>(end - start)};
            at = end + 1;
        }
        if (k == count) {
            batchFrom_ = cursor_;
            cursor_ = block + windowAt_ + at;
            return true;
        }
        if (moved || !MoveWindow(from)) return false;
        moved = true;
    }
}

inline void BlockTokeniser::PutBack() { cursor_ = batchFrom_; }
