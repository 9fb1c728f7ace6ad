#include "tools/patchtext/TokenScan.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>

#include "patchio/PatchIO.h"
#include "support/Progress.h"
#include "text/BlockTokeniser.h"

namespace patchtool {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Progress is told of the bytes read once every this many tokens.
constexpr std::int64_t kTokensPerProgress = 4096;

// The file's tokens, one at a time, with their places. Opened as the reader
// opens its files, so that places agree with the reader's on every platform.
class Tokens {
public:
    explicit Tokens(const std::string& path) : file_(std::fopen(path.c_str(), "r")), tokens_(file_.get()) {
        tokens_.SetDelimiters(PatchIO::kDelimiters);
        tokens_.TrackPositions();
    }
    bool Opened() const { return file_ != nullptr; }

    // Takes the next token; false after the last one.
    bool Next() {
        if (ended_) return false;
        ended_ = tokens_.NextToken() == 0;
        return tokens_.GetTokenLength() > 0;
    }
    TokenAt At() {
        const TextPosition at = tokens_.TokenPosition();
        return {at.line, at.column, tokens_.GetToken()};
    }
    bool Cut() const { return tokens_.TokenWasCut(); }
    std::int64_t Consumed() const { return tokens_.Consumed(); }

private:
    FilePtr file_;
    BlockTokeniser tokens_;
    bool ended_ = false;
};

}  // namespace

TokenScan ScanTokens(const std::string& path, const std::vector<std::int64_t>& ordinals,
                     support::Percentage* progress) {
    TokenScan scan;
    scan.wanted.resize(ordinals.size());
    Tokens in(path);
    if (!in.Opened()) return scan;
    scan.opened = true;
    std::vector<std::size_t> order(ordinals.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ordinals[a] < ordinals[b]; });
    std::size_t next = 0;
    std::int64_t reported = 0;
    for (; in.Next(); ++scan.tokens) {
        if (in.Cut() && scan.longTokens++ == 0) scan.firstLongToken = in.At();
        while (next < order.size() && ordinals[order[next]] == scan.tokens) scan.wanted[order[next++]] = in.At();
        if (progress && scan.tokens % kTokensPerProgress == 0) {
            progress->Advance(in.Consumed() - reported);
            reported = in.Consumed();
        }
    }
    if (progress) progress->Advance(in.Consumed() - reported);
    return scan;
}

std::vector<TokenAt> PeekTokens(const std::string& path, std::size_t count) {
    std::vector<TokenAt> tokens;
    Tokens in(path);
    if (!in.Opened()) return tokens;
    while (tokens.size() < count && in.Next()) tokens.push_back(in.At());
    return tokens;
}

}  // namespace patchtool
