// The delimiter tokeniser. Every character read costs one unlocked buffered
// read and one look-up in a 257-entry class table, which gives the same
// tokens as reading with fgetc and testing each character with strchr on the
// delimiter text.
//
// What callers rely on:
// - A token is a maximal run of non-delimiters, at most kMaxLength long.
//   The character that ends it is consumed: a delimiter, or the character
//   after a run that reached the limit, which is dropped.
// - NextToken answers 1 when something other than the end of the input
//   ended the token. It answers 0 at the end of the input, also when the
//   token buffer holds text that ran up to the end.
// - The zero byte is always a delimiter (strchr finds it as the delimiter
//   text's terminator); every other byte, 255 included, is a delimiter only
//   when the set holds it.
// - The stream is borrowed: read from its current position, never closed.
//   NextToken locks it per token; NextTokenUnlocked leaves that to callers.
#include "text/Tokeniser.h"

#include <cassert>
#include <cstring>

#include "os/Stream.h"

static_assert(EOF == -1, "the class table reserves its first entry for EOF");

namespace {

// Index into the class table of one stream result (a byte or EOF).
inline unsigned ClassIndex(int c) { return static_cast<unsigned>(c + 1); }

}  // namespace

Tokeniser::Tokeniser(std::FILE* input) : delimiters_{}, token_{}, input_(input), length_(0), classes_{} {
    BuildClasses();
}

Tokeniser::~Tokeniser() = default;

// The classes follow the delimiter text as strchr reads it: every byte up to
// the text's terminating zero is a delimiter, and so is the zero byte itself,
// which strchr finds as that terminator. Bytes are unsigned here, so 255 is a
// character like any other.
void Tokeniser::BuildClasses() {
    std::memset(classes_, kTokenChar, sizeof classes_);
    classes_[ClassIndex(EOF)] = kEnd;
    classes_[ClassIndex(0)] = kDelimiter;
    for (const char* d = delimiters_; *d; ++d) classes_[ClassIndex(static_cast<unsigned char>(*d))] = kDelimiter;
}

// The null check is the standard assertion, whose report names this file
// and the line of the check. Reports of this check have always carried the
// same line number, and logs and tests look for it there, so the check must
// stay on its line: anything added to this file goes below this function.
//
// strncpy copies at most the whole buffer and pads a shorter text with
// zeros; the last element is then forced to zero, so a text of kBufferSize
// or more characters contributes exactly its first kMaxLength characters.
// The token and the stream are not touched.
//
// The class table is rebuilt from the stored text, not from newdelim, so
// that the classes always agree with what GetDelimiters shows: a text that
// was cut to kMaxLength characters makes only those characters delimiters.
//
// With assertions disabled a null text leaves the set as it was.
void Tokeniser::SetDelimiters(const char* newdelim) {
    assert(newdelim);
    if (!newdelim) return;
    std::strncpy(delimiters_, newdelim, sizeof delimiters_);
    delimiters_[kMaxLength] = '\0';
    BuildClasses();
}

std::int32_t Tokeniser::NextToken() {
    if (!input_) return NextTokenUnlocked();
    os::LockedStream locked(input_);
    return NextTokenUnlocked();
}

// The stream pointer is copied into a local: the token's character stores
// could otherwise alias the member, and it would be reloaded for every byte.
std::int32_t Tokeniser::NextTokenUnlocked() {
    token_[0] = '\0';
    length_ = 0;
    std::FILE* const in = input_;
    if (!in) return 0;

    int c = os::GetUnlocked(in);
    while (classes_[ClassIndex(c)] == kDelimiter) c = os::GetUnlocked(in);

    int n = 0;
    while (n < kMaxLength && classes_[ClassIndex(c)] == kTokenChar) {
        token_[n++] = static_cast<char>(c);
        c = os::GetUnlocked(in);
    }
    token_[n] = '\0';
    length_ = n;
    return c != EOF ? 1 : 0;
}
