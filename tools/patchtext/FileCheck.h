// The check of a patch text file: what stops the reader, and what the format
// allows but a consumer of the file would trip on: the findings of
// patchio::Validate, numbers that read only in part, and the file's tokens.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"
#include "patchio/Validate.h"
#include "tools/patchtext/TokenScan.h"

namespace patchtool {

struct Warning {
    std::string kind;  // a finding's field (" coordinate" added for coordinates), or "version",
                       // "number", "long", "trailing"
    TokenAt at;        // where it stands, once located
    std::string text;
};

// Warnings with a bounded number kept per kind, so that a file with a
// million unused vertices costs no more than one with ten.
class CheckReport {
public:
    explicit CheckReport(std::size_t keptPerKind = 10) : keptPerKind_(keptPerKind) {}

    void Add(const std::string& kind, const TokenAt& at, std::string text);
    // A finding, kept to be located by Locate.
    void Add(patchio::Finding&& finding);

    const std::vector<Warning>& Kept() const { return kept_; }
    std::int64_t Total() const;

    // Reads path again, with the reader telling where each token stands:
    // places the kept findings, warns about numbers that read only in
    // part, and answers how many tokens the reader took (and, in version,
    // the version token).
    std::int64_t Locate(const std::string& path, TokenAt& version);

private:
    bool Keep(const std::string& kind);

    std::size_t keptPerKind_;
    std::vector<Warning> kept_;
    std::vector<std::pair<patchio::Finding, std::size_t>> unplaced_;  // and their kept warning
    std::map<std::string, std::int64_t> counts_;
};

// True when the version text of a file reads as the format's 1.10.
bool IsCurrentVersion(const std::string& versionText);
// The version as the reader takes it: atof's longest numeric prefix, as a
// 32-bit float, whatever the process locale.
float VersionValue(const std::string& versionText);

// Empty when a number token is wholly a number (a float token: a decimal
// number, "inf" or "nan" as strtod in the C locale reads them whole; an
// integer token: optional sign and digits within 32 bits); else a warning
// that says what the reader takes it as.
std::string PartialNumber(bool integer, const std::string& token);

// Warnings about the file's tokens: the version, cut tokens, and text after
// the expectedTokens that the reader takes (the first of it at
// firstTrailing).
void CheckTokens(const TokenAt& version, const TokenScan& scan, std::int64_t expectedTokens,
                 const TokenAt& firstTrailing, CheckReport& report);

}  // namespace patchtool
