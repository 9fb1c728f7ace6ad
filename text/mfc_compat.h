// CompatString: a familiar general-purpose string interface (length,
// characters, comparison, search, substrings, case, formatting) over the
// host's own string type. It holds one CStr and nothing else.
#pragma once

#include <cstddef>

#include "host/CStr.h"

#if defined(__GNUC__) || defined(__clang__)
#  define COMPAT_PRINTF_FORMAT(formatIndex, firstArgument) __attribute__((format(printf, formatIndex, firstArgument)))
#else
#  define COMPAT_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

class CompatString {
public:
    CompatString();
    // A null text is reported and gives the empty string.
    CompatString(const char* text);
    // One character; the empty string for NUL.
    explicit CompatString(char ch);
    CompatString(const CompatString& other);
    CompatString(const CStr& other);
    ~CompatString();

    CompatString& operator=(const CompatString& other);

    CStr& HostString() { return str_; }
    const CStr& HostString() const { return str_; }
    char* Text() { return str_.data(); }
    const char* Text() const { return str_.data(); }

    int Length() const;
    int IsEmpty() const;
    void MakeEmpty();
    // An index not below Length() is reported; outside the string nothing is
    // read (the answer is NUL) or written.
    char CharAt(int index) const;
    void SetCharAt(int index, char ch);

    CompatString operator+(const CompatString& other) const;
    CompatString& operator+=(const CompatString& other);
    CompatString& operator+=(const CStr& other);

    // 1, 0 or -1 by the host string's ordering; the greater test comes first.
    int Compare(const CompatString& other) const;
    int CompareIgnoreCase(const CompatString& other) const;
    int operator==(const CompatString& other) const { return Compare(other) == 0; }
    int operator!=(const CompatString& other) const { return Compare(other) != 0; }
    int operator<(const CompatString& other) const { return Compare(other) < 0; }
    int operator>(const CompatString& other) const { return Compare(other) > 0; }
    int operator<=(const CompatString& other) const { return Compare(other) <= 0; }
    int operator>=(const CompatString& other) const { return Compare(other) >= 0; }

    // Positions from 0, or -1 when there is none. The empty text is found at
    // 0; a null text is found nowhere.
    int Find(const char* text) const;
    int Find(const CompatString& text) const;
    int FindChar(char ch) const;
    int FindLastChar(char ch) const;

    // New strings from the host string's Substr, which keeps to the string.
    CompatString Substring(int first, int count) const;
    CompatString Substring(int first) const;
    CompatString Prefix(int count) const;
    CompatString Suffix(int count) const;
    // The leading run of characters not in set (a null set holds nothing).
    CompatString PrefixBeforeAny(const char* set) const;

    void ToUpper();
    void ToLower();

    // printf formatting into a 2048-character buffer; longer output is cut
    // to 2047 characters.
    void FormatText(const char* format, ...) COMPAT_PRINTF_FORMAT(2, 3);

    static constexpr std::size_t kFormatBufferSize = 2048;

private:
    CStr str_;
};

// Where PrefixBeforeAny takes its temporary buffer from (malloc semantics:
// null when there is no memory; released with free). Tests exchange it to
// see the out-of-memory report. Answers the previous allocator.
using CompatAllocator = void* (*)(std::size_t size);
CompatAllocator SetCompatAllocator(CompatAllocator allocator);
