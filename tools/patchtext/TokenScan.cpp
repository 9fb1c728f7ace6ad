#include "tools/patchtext/TokenScan.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>

#include "tools/patchtext/Progress.h"

namespace patchtool {
namespace {

// The reader's token buffer holds 79 characters.
constexpr std::size_t kMaxTokenLength = 79;

bool IsDelimiter(int c) {
    return c == 0 || c == '\r' || c == '\t' || c == '\n' || c == ' ' || c == '{' || c == '}';
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Bytes of a file with their line and column.
class Bytes {
public:
    Bytes(std::FILE* file, Progress* progress) : file_(file), progress_(progress) {}

    int Get() {
        if (at_ == size_) {
            if (progress_ && size_ > 0) progress_->Advance(static_cast<std::int64_t>(size_));
            size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
            at_ = 0;
            if (size_ == 0) return EOF;
        }
        line_ = nextLine_;
        column_ = nextColumn_;
        const int c = static_cast<unsigned char>(buffer_[at_++]);
        if (c == '\n') {
            ++nextLine_;
            nextColumn_ = 1;
        } else {
            ++nextColumn_;
        }
        return c;
    }
    std::int64_t Line() const { return line_; }
    std::int64_t Column() const { return column_; }

private:
    std::FILE* file_;
    Progress* progress_;
    char buffer_[1 << 16];
    std::size_t size_ = 0;
    std::size_t at_ = 0;
    std::int64_t line_ = 1, column_ = 1, nextLine_ = 1, nextColumn_ = 1;
};

// Reads one token into token; false at the end of the file. cut tells
// whether the length limit ended it.
bool NextToken(Bytes& in, TokenAt& token, bool& cut) {
    int c = in.Get();
    while (c != EOF && IsDelimiter(c)) c = in.Get();
    if (c == EOF) return false;
    token.line = in.Line();
    token.column = in.Column();
    token.text.clear();
    while (c != EOF && !IsDelimiter(c)) {
        token.text.push_back(static_cast<char>(c));
        if (token.text.size() == kMaxTokenLength) {
            // The character after the limit is dropped; when it belongs to
            // the token, the rest of the token becomes a token of its own.
            const int after = in.Get();
            cut = after != EOF && !IsDelimiter(after);
            return true;
        }
        c = in.Get();
    }
    cut = false;
    return true;
}

}  // namespace

TokenScan ScanTokens(const std::string& path, const std::vector<std::int64_t>& ordinals, Progress* progress) {
    TokenScan scan;
    scan.wanted.resize(ordinals.size());
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return scan;
    scan.opened = true;
    std::vector<std::size_t> order(ordinals.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ordinals[a] < ordinals[b]; });
    Bytes in(file.get(), progress);
    TokenAt token;
    bool cut = false;
    std::size_t next = 0;
    for (; NextToken(in, token, cut); ++scan.tokens) {
        if (cut && scan.longTokens++ == 0) scan.firstLongToken = token;
        while (next < order.size() && ordinals[order[next]] == scan.tokens) scan.wanted[order[next++]] = token;
    }
    return scan;
}

std::vector<TokenAt> PeekTokens(const std::string& path, std::size_t count) {
    std::vector<TokenAt> tokens;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return tokens;
    Bytes in(file.get(), nullptr);
    TokenAt token;
    bool cut = false;
    while (tokens.size() < count && NextToken(in, token, cut)) tokens.push_back(token);
    return tokens;
}

}  // namespace patchtool
