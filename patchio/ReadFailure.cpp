// Why a read failed: the failing token located by a second, slower pass
// over the file that counts lines and columns, and the reason as text.
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <memory>
#include <string>

#include "patchio/PatchIO.h"
#include "patchio/ReadFailureScan.h"
#include "text/Tokeniser.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct Position {
    std::int64_t line = 1;
    std::int64_t column = 1;
};

// Reads a stream byte by byte and tells where each byte (or the end) stands.
// Columns count bytes, so a tab is one column.
class CountingReader {
public:
    explicit CountingReader(std::FILE* file) : file_(file) {}
    int Get(Position& at) {
        at = next_;
        const int c = std::fgetc(file_);
        if (c == '\n') {
            ++next_.line;
            next_.column = 1;
        } else if (c != EOF) {
            ++next_.column;
        }
        return c;
    }

private:
    std::FILE* file_;
    Position next_;
};

// The tokeniser's rule: the zero byte and every byte of the set.
bool IsDelimiter(int c) { return c == 0 || std::strchr(patchtext::kDelimiters, c) != nullptr; }

// One token as the tokeniser takes it, with where its first byte (or the end
// of the input) stands. Answers the byte that ended it.
int ScanToken(CountingReader& in, Position& start, std::string& text) {
    text.clear();
    int c = in.Get(start);
    while (c != EOF && IsDelimiter(c)) c = in.Get(start);
    Position ignored;
    while (text.size() < static_cast<std::size_t>(Tokeniser::kMaxLength) && c != EOF && !IsDelimiter(c)) {
        text.push_back(static_cast<char>(c));
        c = in.Get(ignored);
    }
    return c;
}

// A token as text fit to print: bytes outside printable ASCII as \xHH.
std::string Printable(const std::string& token) {
    std::string out;
    for (const char ch : token) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
            out.push_back(ch);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
        out += escaped;
    }
    return out;
}

}  // namespace

bool patchtext::IsRegularFile(const char* path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

void patchtext::LocateToken(const char* path, std::int64_t ordinal, ReadFailure& why) {
    why.found.clear();
    why.atEnd = true;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "r"));
    if (!file) return;
    CountingReader in(file.get());
    for (std::int64_t k = 1;; ++k) {
        Position start;
        const int stop = ScanToken(in, start, why.found);
        if (k >= ordinal || stop == EOF) {
            why.line = start.line;
            why.column = start.column;
            why.atEnd = stop == EOF;
            return;
        }
    }
}

std::string ReadFailure::Message() const {
    if (!opened) return "the file could not be opened";
    if (expected.empty()) return "";
    std::string text = line > 0 ? "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " : "";
    text += "expected " + expected + ", found ";
    if (found.empty()) return text + "the end of the file";
    text += "\"" + Printable(found) + "\"";
    if (atEnd) text += " at the end of the file, with no line end after it";
    return text;
}
