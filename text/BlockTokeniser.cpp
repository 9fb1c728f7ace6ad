#include "text/BlockTokeniser.h"

#include <cassert>
#include <cstring>

#include "os/Stream.h"

BlockTokeniser::BlockTokeniser(std::FILE* input)
    : BlockTokeniser(input, input == nullptr || os::IsRegularStream(input)) {}

BlockTokeniser::BlockTokeniser(std::FILE* input, bool wholeBlocks)
    : delimiters_{},
      token_{},
      input_(input),
      wholeBlocks_(wholeBlocks),
      classes_{},
      block_(std::make_unique<unsigned char[]>(kBlockSize + kSlack)),
      masks_(std::make_unique<std::uint64_t[]>(kBlockSize / kWindow)) {
    cursor_ = end_ = countedTo_ = block_.get();
    block_[0] = 0;
    SetDelimiters("");
}

BlockTokeniser::BlockTokeniser(const char* text, std::size_t size) : BlockTokeniser(nullptr) {
    text_ = textStart_ = text ? text : "";
    textLeft_ = textSize_ = text ? size : 0;
}

bool BlockTokeniser::MoveTo(std::int64_t offset) {
    if (track_ || offset < 0) return false;
    const std::int64_t inBlock = offset - blockOffset_;
    if (inBlock >= 0 && inBlock <= end_ - block_.get()) {
        cursor_ = block_.get() + inBlock;
        return true;
    }
    // The input stands at the end of the block at hand.
    const std::int64_t readTo = blockOffset_ + (end_ - block_.get());
    if (text_) {
        const auto at = static_cast<std::uint64_t>(offset);
        if (at > textSize_) return false;
        text_ = textStart_ + at;
        textLeft_ = textSize_ - static_cast<std::size_t>(at);
    } else if (!input_ || !wholeBlocks_ || std::fseek(input_, static_cast<long>(offset - readTo), SEEK_CUR) != 0) {
        return false;
    }
    blockOffset_ = offset;
    cursor_ = end_ = block_.get();
    block_[0] = 0;
    windowValid_ = false;
    masksValid_ = false;
    return true;
}

void BlockTokeniser::SetDelimiters(const char* newdelim) {
    assert(newdelim);
    if (!newdelim) return;
    std::strncpy(delimiters_, newdelim, sizeof delimiters_);
    delimiters_[kMaxLength] = '\0';
    std::memset(classes_, kTokenChar, sizeof classes_);
    for (const char* d = delimiters_; *d != '\0'; ++d) classes_[static_cast<unsigned char>(*d)] = kDelimiter;
    classes_[0] = kZero;
    windowValid_ = false;
    masksValid_ = false;
    unsigned char isDelimiter[256];
    for (int c = 0; c < 256; ++c) isDelimiter[c] = classes_[c] != kTokenChar;
    scan_.Build(isDelimiter);
}

bool BlockTokeniser::SkipLine(std::int64_t limit) {
    for (;;) {
        const std::int64_t left = limit - Consumed();
        const auto inBlock = static_cast<std::size_t>(end_ - cursor_);
        if (left <= 0) return false;
        const std::size_t scan = static_cast<std::uint64_t>(left) < inBlock ? static_cast<std::size_t>(left) : inBlock;
        const void* found = std::memchr(cursor_, '\n', scan);
        if (found) {
            cursor_ = static_cast<const unsigned char*>(found) + 1;
            return true;
        }
        cursor_ += scan;
        if (scan < inBlock || !Refill()) return false;
    }
}

void BlockTokeniser::SkipDelimiters() {
    // A stream that could wait is read no further than a token needs.
    if (!track_) PassDelimiters(text_ || wholeBlocks_);
}

// Delimiters are passed up to the next token character; a zero is one too,
// unless it marks the block's end. There the next block is read when
// refill says so. False when the input (or the block) ends first.
bool BlockTokeniser::PassDelimiters(bool refill) {
    for (;;) {
        const unsigned char kind = classes_[*cursor_];
        if (kind == kTokenChar) return true;
        if (kind == kDelimiter || !AtBlockEnd()) {
            ++cursor_;
            continue;
        }
        if (!refill || !Refill()) return false;
    }
}

bool BlockTokeniser::TokenSoon(std::size_t bytes) const {
    const auto inBlock = static_cast<std::size_t>(end_ - cursor_);
    const std::size_t look = bytes < inBlock ? bytes : inBlock;
    for (std::size_t k = 0; k < look && cursor_[k] != '\n'; ++k)
        if (classes_[cursor_[k]] == kTokenChar) return true;
    return false;
}

// From a regular file or memory, a whole block; from a stream that could
// wait (a pipe, a terminal), what completes the token at hand.
std::size_t BlockTokeniser::ReadBlock() {
    if (text_) {
        const std::size_t n = textLeft_ < kBlockSize ? textLeft_ : kBlockSize;
        std::memcpy(block_.get(), text_, n);
        text_ += n;
        textLeft_ -= n;
        return n;
    }
    if (!input_) return 0;
    if (wholeBlocks_) return std::fread(block_.get(), 1, kBlockSize, input_);
    return ReadUpToDelimiter();
}

// Byte by byte through the stream's own buffer, up to and with the first
// delimiter: the stream's buffer takes what has arrived, and nothing here
// waits for more than the token at hand needs.
std::size_t BlockTokeniser::ReadUpToDelimiter() {
    os::LockedStream in(input_);
    unsigned char* const block = block_.get();
    std::size_t n = 0;
    while (n < kBlockSize) {
        const int c = in.Get();
        if (c == EOF) break;
        block[n++] = static_cast<unsigned char>(c);
        if (classes_[static_cast<unsigned char>(c)] != kTokenChar) break;
    }
    return n;
}

// The byte after the last one read is always a zero, so that every scan
// stops at the end of the block without counting. With positions tracked,
// the place of a token begun in this block is taken before the block goes.
bool BlockTokeniser::Refill() {
    if (track_) {
        if (tokenStart_ && !startKnown_) TokenPosition();
        CountLinesTo(end_);
    }
    blockOffset_ += end_ - block_.get();
    windowValid_ = false;
    masksValid_ = false;
    if (!stopped_ && goOn_ && !goOn_()) stopped_ = true;
    const std::size_t got = stopped_ ? 0 : ReadBlock();
    cursor_ = countedTo_ = block_.get();
    end_ = cursor_ + got;
    block_[got] = 0;
    return got > 0;
}

void BlockTokeniser::CountLinesTo(const unsigned char* to) {
    const unsigned char* p = countedTo_;
    while (p < to) {
        const void* found = std::memchr(p, '\n', static_cast<std::size_t>(to - p));
        if (!found) break;
        p = static_cast<const unsigned char*>(found) + 1;
        ++lineEnds_;
        lineStart_ = blockOffset_ + (p - block_.get());
    }
    countedTo_ = to;
}

TextPosition BlockTokeniser::TokenPosition() {
    if (startKnown_ || !track_) return start_;
    const unsigned char* at = tokenStart_ ? tokenStart_ : cursor_;
    CountLinesTo(at);
    start_.line = lineEnds_ + 1;
    start_.column = blockOffset_ + (at - block_.get()) - lineStart_ + 1;
    startKnown_ = true;
    return start_;
}

// A local cursor and table, so that the loop keeps both in registers (bytes
// may alias anything, the members included). Stops at limit: a run longer
// than a token's room needs no further scanning, however long it is.
const unsigned char* BlockTokeniser::SkipTokenChars(const unsigned char* p, const unsigned char* limit) const {
    const unsigned char* classes = classes_;
    while (p < limit && classes[*p] == kTokenChar) ++p;
    return p;
}

bool BlockTokeniser::DropOne() {
    if (AtBlockEnd() && !Refill()) return false;
    cut_ = classes_[*cursor_] == kTokenChar;
    ++cursor_;
    return true;
}

// Any token, byte by byte through the class table, across blocks.
std::int32_t BlockTokeniser::TakeToken() {
    token_[0] = '\0';
    length_ = 0;
    tokenStart_ = nullptr;

    if (!PassDelimiters(true)) return 0;
    tokenStart_ = cursor_;

    // Collect runs of token characters, across blocks when a token
    // straddles two.
    std::size_t n = 0;
    for (;;) {
        const unsigned char* start = cursor_;
        const std::size_t room = static_cast<std::size_t>(kMaxLength) - n;
        const auto left = static_cast<std::size_t>(end_ - start);
        cursor_ = SkipTokenChars(start, start + (room < left ? room : left));
        const auto run = static_cast<std::size_t>(cursor_ - start);
        if (run >= room) {
            std::memcpy(token_ + n, start, room);
            length_ = kMaxLength;
            token_[kMaxLength] = '\0';
            cursor_ = start + room;
            return DropOne() ? 1 : 0;
        }
        if (n == 0 && run < kSlack) {
            // A short token, the common case: one fixed-size copy, which
            // may carry bytes past the token that its end zero hides.
            std::memcpy(token_, start, kSlack);
        } else {
            std::memcpy(token_ + n, start, run);
        }
        n += run;
        if (!AtBlockEnd()) {
            ++cursor_;  // the delimiter that ended the token
            break;
        }
        if (!Refill()) {
            token_[n] = '\0';
            length_ = static_cast<std::int32_t>(n);
            return 0;
        }
    }
    token_[n] = '\0';
    length_ = static_cast<std::int32_t>(n);
    return 1;
}
