#include "text/mfc_compat.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "host/HostApi.h"

namespace {

// Source-file name of this module in assertion reports, and the fixed
// numbers that each broken precondition is reported under.
constexpr const char* kSource = "mfc_compat";
constexpr int kNullTextLine = 27;
constexpr int kCharAtLine = 79;
constexpr int kSetCharAtLine = 196;
constexpr int kNoMemoryLine = 287;

CompatAllocator& Allocator() {
    static CompatAllocator allocator = &std::malloc;
    return allocator;
}

struct BufferRelease {
    void operator()(char* buffer) const { std::free(buffer); }
};

// Index arithmetic done wide and brought back into int's range, so that
// extreme arguments cannot overflow; Substr keeps the result to the string.
int ClampToInt(long long value) {
    return static_cast<int>(
        std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool InString(int index, int length) { return index >= 0 && index < length; }

int ThreeWay(const CStr& a, const CStr& b) {
    if (a > b) return 1;
    if (a < b) return -1;
    return 0;
}

}  // namespace

CompatAllocator SetCompatAllocator(CompatAllocator allocator) {
    const CompatAllocator previous = Allocator();
    Allocator() = allocator ? allocator : &std::malloc;
    return previous;
}

// Construction, assignment and conversion.

CompatString::CompatString() = default;

CompatString::CompatString(const char* text) {
    if (!text) {
        assert1(kNullTextLine, kSource);
        return;
    }
    str_ = CStr(text);
}

CompatString::CompatString(char ch) {
    const char text[2] = {ch, '\0'};
    str_ = text;
}

CompatString::CompatString(const CompatString& other) : str_(other.str_) {}

CompatString::CompatString(const CStr& other) : str_(other) {}

// The text left behind makes a use after destruction easy to recognise.
CompatString::~CompatString() { str_ = "ERROR!"; }

CompatString& CompatString::operator=(const CompatString& other) {
    if (this != &other) str_ = other.str_;
    return *this;
}

// Length and characters.

int CompatString::Length() const { return str_.Length(); }

int CompatString::IsEmpty() const { return Length() == 0 ? 1 : 0; }

void CompatString::MakeEmpty() { str_ = ""; }

char CompatString::CharAt(int index) const {
    const int length = Length();
    if (index >= length) assert1(kCharAtLine, kSource);
    return InString(index, length) ? str_[index] : '\0';
}

void CompatString::SetCharAt(int index, char ch) {
    const int length = Length();
    if (index >= length) assert1(kSetCharAtLine, kSource);
    if (InString(index, length)) str_[index] = ch;
}

// Concatenation.

CompatString CompatString::operator+(const CompatString& other) const {
    CompatString sum(*this);
    sum += other;
    return sum;
}

CompatString& CompatString::operator+=(const CompatString& other) {
    str_ += other.str_;
    return *this;
}

CompatString& CompatString::operator+=(const CStr& other) {
    str_ += other;
    return *this;
}

// Comparison.

int CompatString::Compare(const CompatString& other) const { return ThreeWay(str_, other.str_); }

int CompatString::CompareIgnoreCase(const CompatString& other) const {
    CStr left(str_);
    CStr right(other.str_);
    left.toLower();
    right.toLower();
    return ThreeWay(left, right);
}

// Searching.

int CompatString::Find(const char* text) const {
    if (!text) return -1;
    const char* found = std::strstr(Text(), text);
    return found ? static_cast<int>(found - Text()) : -1;
}

int CompatString::Find(const CompatString& text) const { return Find(text.Text()); }

int CompatString::FindChar(char ch) const {
    const int length = Length();
    for (int i = 0; i < length; ++i)
        if (str_[i] == ch) return i;
    return -1;
}

int CompatString::FindLastChar(char ch) const {
    for (int i = Length() - 1; i >= 0; --i)
        if (str_[i] == ch) return i;
    return -1;
}

// Substrings.

CompatString CompatString::Substring(int first, int count) const { return CompatString(str_.Substr(first, count)); }

// For a first so far below 0 that the count to the end would not fit an
// int, the first that keeps the count at the largest int names the same
// characters.
CompatString CompatString::Substring(int first) const {
    const long long length = Length();
    const long long from = std::max<long long>(first, length - std::numeric_limits<int>::max());
    return Substring(static_cast<int>(from), static_cast<int>(length - from));
}

CompatString CompatString::Prefix(int count) const { return Substring(0, count); }

CompatString CompatString::Suffix(int count) const {
    return Substring(ClampToInt(static_cast<long long>(Length()) - count), count);
}

CompatString CompatString::PrefixBeforeAny(const char* set) const {
    const int length = Length();
    std::unique_ptr<char, BufferRelease> buffer(static_cast<char*>(Allocator()(static_cast<std::size_t>(length) + 1)));
    if (!buffer) {
        assert1(kNoMemoryLine, kSource);
        return CompatString();
    }
    const char* stops = set ? set : "";
    int i = 0;
    for (; i < length && !std::strchr(stops, str_[i]); ++i) buffer.get()[i] = str_[i];
    buffer.get()[i] = '\0';
    return CompatString(buffer.get());
}

// Case and formatting.

void CompatString::ToUpper() { str_.toUpper(); }

void CompatString::ToLower() { str_.toLower(); }

void CompatString::FormatText(const char* format, ...) {
    char buffer[kFormatBufferSize];
    buffer[0] = '\0';
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        // vsnprintf never writes past the buffer and always terminates it.
        if (std::vsnprintf(buffer, sizeof buffer, format, arguments) < 0) buffer[0] = '\0';
        va_end(arguments);
    }
    str_ = buffer;
}
