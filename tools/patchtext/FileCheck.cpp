#include "tools/patchtext/FileCheck.h"

#include <charconv>
#include <cstring>
#include <tuple>
#include <utility>

#include "patchio/NumberParse.h"
#include "patchio/ReadPlaces.h"

namespace patchtool {
namespace {

// The versions as the reader compares them: 32-bit floats.
constexpr float kCurrentVersion = static_cast<float>(PatchIO::kFormatVersion);
constexpr float kVersionWithoutCameras = static_cast<float>(PatchIO::kLastVersionWithoutCameras);

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The writer's own numbers, told at a glance: an optional minus and digits,
// for a float with one point among them. PartialNumber decides the rest.
bool PlainNumber(bool integer, const char* text, std::size_t length) {
    std::size_t i = length > 1 && text[0] == '-' ? 1 : 0;
    if (integer && length - i > 9) return false;  // may lie beyond 32 bits
    bool point = integer, digits = false;
    for (; i < length; ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

using Key = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t>;

template <typename Ref>
Key KeyOf(const Ref& r) {
    return {r.object, r.patch, r.camera, r.slot, r.axis};
}

// Tells the report where its findings stand and which numbers read only
// in part, as the reader takes the file's tokens.
class Places : public patchio::ReadPlaces {
public:
    Places(CheckReport& report, std::vector<std::pair<patchio::Finding, std::size_t>>& unplaced,
           std::vector<TokenAt>& placed)
        : report_(report), placed_(placed) {
        for (const auto& [finding, kept] : unplaced) wanted_.emplace(KeyOf(finding), Wanted{finding.field, kept});
    }

    void Token(patchio::TokenKind kind, const patchio::ValueRef& value, const TextPosition& at, const char* text,
               std::size_t length) override {
        ++tokens;
        if (kind == patchio::TokenKind::Keyword) return;
        if (std::strcmp(value.field, "version") == 0) version = {at.line, at.column, std::string(text, length)};
        if (!PlainNumber(kind == patchio::TokenKind::Integer, text, length)) {
            const std::string token(text, length);
            const std::string partial = PartialNumber(kind == patchio::TokenKind::Integer, token);
            if (!partial.empty()) report_.Add("number", {at.line, at.column, token}, partial);
        }
        if (wanted_.empty()) return;
        const auto [first, last] = wanted_.equal_range(KeyOf(value));
        for (auto it = first; it != last; ++it)
            if (it->second.field == value.field)
                placed_[it->second.kept] = {at.line, at.column, std::string(text, length)};
    }

    std::int64_t tokens = 0;
    TokenAt version;

private:
    struct Wanted {
        std::string field;
        std::size_t kept;
    };
    CheckReport& report_;
    std::vector<TokenAt>& placed_;
    std::multimap<Key, Wanted> wanted_;
};

std::string ShortestFloat(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

bool CheckReport::Keep(const std::string& kind) { return static_cast<std::size_t>(counts_[kind]++) < keptPerKind_; }

void CheckReport::Add(const std::string& kind, const TokenAt& at, std::string text) {
    if (Keep(kind)) kept_.push_back({kind, at, std::move(text)});
}

void CheckReport::Add(patchio::Finding&& finding) {
    // Coordinates that are not finite apart from the points no patch uses.
    const std::string kind = finding.field + (finding.axis >= 0 ? " coordinate" : "");
    if (!Keep(kind)) return;
    kept_.push_back({kind, TokenAt{}, finding.message});
    unplaced_.emplace_back(std::move(finding), kept_.size() - 1);
}

std::int64_t CheckReport::Total() const {
    std::int64_t total = 0;
    for (const auto& entry : counts_) total += entry.second;
    return total;
}

std::int64_t CheckReport::Locate(const std::string& path, TokenAt& version) {
    std::vector<TokenAt> placed(kept_.size());
    Places places(*this, unplaced_, placed);
    PatchIO set;
    patchio::ReadWithPlaces(path.c_str(), set, places);
    for (const auto& entry : unplaced_) kept_[entry.second].at = placed[entry.second];
    unplaced_.clear();
    version = places.version;
    return places.tokens;
}

std::string PartialNumber(bool integer, const std::string& token) {
    const char* begin = token.data() + (token.size() > 1 && token[0] == '+' ? 1 : 0);
    const char* end = token.data() + token.size();
    if (integer) {
        long long value = 0;
        const auto result = std::from_chars(begin, end, value);
        if (result.ec == std::errc() && result.ptr == end && value >= INT32_MIN && value <= INT32_MAX) return {};
        return "\"" + token + "\" is not wholly an integer: the reader takes it as " +
               std::to_string(numparse::ToInt(token.c_str()));
    }
    double value = 0.0;
    const auto result = std::from_chars(begin, end, value);
    if (result.ptr == end && (result.ec == std::errc() || result.ec == std::errc::result_out_of_range)) return {};
    return "\"" + token + "\" is not wholly a number: the reader takes it as " +
           ShortestFloat(numparse::ToFloat(token.c_str()));
}

float VersionValue(const std::string& versionText) { return numparse::ToFloat(versionText.c_str()); }

bool IsCurrentVersion(const std::string& versionText) { return VersionValue(versionText) == kCurrentVersion; }

void CheckTokens(const TokenAt& version, const TokenScan& scan, std::int64_t expectedTokens,
                 const TokenAt& firstTrailing, CheckReport& report) {
    if (!IsCurrentVersion(version.text)) {
        std::string text = "version " + version.text + " is not the format's 1.10";
        if (!(VersionValue(version.text) > kVersionWithoutCameras)) text += "; the reader reads no cameras from it";
        report.Add("version", version, text);
    }
    if (scan.longTokens > 0) {
        report.Add("long", scan.firstLongToken,
                   Plural(scan.longTokens, "token is", "tokens are") +
                       " longer than 79 characters: the reader cuts each in two and drops a character");
    }
    const std::int64_t trailing = scan.tokens - expectedTokens;
    if (trailing > 0) {
        report.Add("trailing", firstTrailing,
                   Plural(trailing, "token follows", "tokens follow") + " the end of the data; the reader ignores " +
                       (trailing == 1 ? "it" : "them"));
    }
}

}  // namespace patchtool
