#include "host/CStr.h"

#include <algorithm>
#include <cstring>
#include <utility>

CStr::CStr() = default;
CStr::CStr(const char* text) : text_(text ? text : "") {}
CStr::CStr(const CStr& other) : text_(other.text_) {}
CStr::CStr(CStr&& other) noexcept : text_(std::move(other.text_)) {}
CStr::~CStr() = default;

CStr& CStr::operator=(const CStr& other) {
    if (this != &other) text_ = other.text_;
    return *this;
}

CStr& CStr::operator=(CStr&& other) noexcept {
    text_ = std::move(other.text_);
    return *this;
}

CStr& CStr::operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
}

// The text is what stands before the first null, which a caller may have
// written through data(): what lies behind it is dropped, and only the
// visible text of other is appended.
CStr& CStr::operator+=(const CStr& other) {
    text_.resize(std::strlen(text_.c_str()));
    text_.append(other.data());
    return *this;
}

int CStr::operator<(const CStr& other) const { return std::strcmp(data(), other.data()) < 0 ? 1 : 0; }
int CStr::operator>(const CStr& other) const { return std::strcmp(data(), other.data()) > 0 ? 1 : 0; }

// Bounded by the characters stored, which takes no walk to the null: a
// caller that indexes every character of a long string stays linear.
char& CStr::operator[](int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= text_.size()) {
        scratch_ = '\0';
        return scratch_;
    }
    return text_[static_cast<std::size_t>(index)];
}

const char& CStr::operator[](int index) const {
    static const char nothing = '\0';
    if (index < 0 || static_cast<std::size_t>(index) >= text_.size()) return nothing;
    return text_[static_cast<std::size_t>(index)];
}

char* CStr::data() { return text_.data(); }
const char* CStr::data() const { return text_.c_str(); }
int CStr::Length() const { return static_cast<int>(std::strlen(text_.c_str())); }

CStr CStr::Substr(int first, int count) const {
    const int length = Length();
    const long long begin = std::clamp<long long>(first, 0, length);
    const long long end = std::clamp<long long>(static_cast<long long>(first) + std::max(count, 0), begin, length);
    CStr result;
    result.text_.assign(text_, static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
    return result;
}

void CStr::toUpper() {
    for (char& c : text_)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

void CStr::toLower() {
    for (char& c : text_)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}
