// The host's string type: an owned, NUL-terminated 8-bit string.
#pragma once

#include <cstddef>
#include <string>

#include "host/HostExport.h"

class HOST_API CStr {
public:
    CStr();
    CStr(const char* text);  // a null text gives the empty string
    CStr(const CStr& other);
    CStr(CStr&& other) noexcept;
    ~CStr();

    CStr& operator=(const CStr& other);
    CStr& operator=(CStr&& other) noexcept;
    CStr& operator=(const char* text);  // a null text gives the empty string
    // Appends the text of other to the text (both up to their first null).
    CStr& operator+=(const CStr& other);

    // Byte-wise ordering, as strcmp orders; non-zero when the relation holds.
    int operator<(const CStr& other) const;
    int operator>(const CStr& other) const;

    // A reference to character index. An index outside the characters
    // stored refers to a scratch character, so nothing outside the string
    // is read or written. Characters behind a null written through data()
    // are still stored, and reachable here.
    char& operator[](int index);
    const char& operator[](int index) const;

    char* data();  // writable, NUL-terminated
    const char* data() const;
    int Length() const;

    // count characters from first, clamped to the string: a negative first
    // or count, or one past the end, gives what lies inside the string.
    CStr Substr(int first, int count) const;

    void toUpper();  // ASCII letters only, in place
    void toLower();

private:
    std::string text_;
    char scratch_ = '\0';
};
