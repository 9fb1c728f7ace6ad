// The check of a patch text file: what stops the reader, and what the format
// allows but a consumer of the file would trip on.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"
#include "tools/patchtext/TokenLayout.h"
#include "tools/patchtext/TokenScan.h"

namespace patchtool {

enum class WarningKind {
    Version,        // a version other than 1.10
    IndexOutside,   // an index outside its list (or -1 where an index is due)
    SelfNeighbour,  // a patch naming itself as neighbour
    NotMutual,      // a neighbour that does not name the patch back
    NonFinite,      // an infinite or not-a-number coordinate
    Unused,         // vertices or vectors that no patch uses
    LongToken,      // a token that the reader cuts in two
    TrailingText,   // tokens after the data, which the reader ignores
};
constexpr std::size_t kWarningKinds = 8;

struct Warning {
    WarningKind kind = WarningKind::Version;
    std::int64_t token = -1;  // its ordinal in the file, -1 when at is set
    TokenAt at;               // where it stands, once located
    std::string text;
};

// Warnings with a bounded number kept per kind, so that a file with a
// million unused vertices costs no more than one with ten.
class CheckReport {
public:
    explicit CheckReport(std::size_t keptPerKind = 10) : keptPerKind_(keptPerKind) {}

    void Add(WarningKind kind, std::int64_t token, std::string text);
    void AddAt(WarningKind kind, const TokenAt& at, std::string text);

    const std::vector<Warning>& Kept() const { return kept_; }
    std::vector<Warning>& Kept() { return kept_; }
    std::int64_t Count(WarningKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    std::int64_t Total() const;

private:
    bool Keep(WarningKind kind);

    std::size_t keptPerKind_;
    std::vector<Warning> kept_;
    std::array<std::int64_t, kWarningKinds> counts_{};
};

// The counts that a file that reads shows first.
struct SetCounts {
    std::int64_t objects = 0, verts = 0, vecs = 0, patches = 0, triangles = 0, quads = 0, cameras = 0;
};
SetCounts CountSet(const PatchIO& set);
std::string DescribeCounts(const SetCounts& counts);

// True when the version text of a file reads as the format's 1.10.
bool IsCurrentVersion(const std::string& versionText);
// The version as the reader takes it: atof's longest numeric prefix, as a
// 32-bit float, whatever the process locale.
float VersionValue(const std::string& versionText);

// Warnings about the contents of a set, located through layout.
void CheckContents(const PatchIO& set, const TokenLayout& layout, CheckReport& report);
// Warnings about the file's tokens: the version (token 1 of the file), cut
// tokens, and text after the expectedTokens that the reader takes (the
// first of it at firstTrailing).
void CheckTokens(const TokenAt& version, const TokenScan& scan, std::int64_t expectedTokens,
                 const TokenAt& firstTrailing, CheckReport& report);

}  // namespace patchtool
