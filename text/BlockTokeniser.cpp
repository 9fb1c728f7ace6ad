#include "text/BlockTokeniser.h"

#include <cassert>
#include <cstring>

BlockTokeniser::BlockTokeniser(std::FILE* input)
    : delimiters_{},
      token_{},
      input_(input),
      classes_{},
      block_(std::make_unique<unsigned char[]>(kBlockSize + kSlack)) {
    cursor_ = end_ = block_.get();
    block_[0] = 0;
    SetDelimiters("");
}

void BlockTokeniser::SetDelimiters(const char* newdelim) {
    assert(newdelim);
    if (!newdelim) return;
    std::strncpy(delimiters_, newdelim, sizeof delimiters_);
    delimiters_[kMaxLength] = '\0';
    std::memset(classes_, kTokenChar, sizeof classes_);
    for (const char* d = delimiters_; *d != '\0'; ++d) classes_[static_cast<unsigned char>(*d)] = kDelimiter;
    classes_[0] = kZero;
}

// The byte after the last one read is always a zero, so that every scan
// stops at the end of the block without counting.
bool BlockTokeniser::Refill() {
    std::size_t got = 0;
    if (input_) got = std::fread(block_.get(), 1, kBlockSize, input_);
    cursor_ = block_.get();
    end_ = cursor_ + got;
    block_[got] = 0;
    return got > 0;
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
    ++cursor_;
    return true;
}

std::int32_t BlockTokeniser::NextToken() {
    token_[0] = '\0';
    length_ = 0;
    if (!input_) return 0;

    // Skip delimiters; a zero is one too, unless it marks the block's end.
    for (;;) {
        const unsigned char kind = classes_[*cursor_];
        if (kind == kTokenChar) break;
        if (kind == kDelimiter || !AtBlockEnd()) {
            ++cursor_;
            continue;
        }
        if (!Refill()) return 0;
    }

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
