#include "hostapp/ExportSummary.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The count after prefix at the start of line, if the line is of that form.
bool CountAfter(std::string_view line, std::string_view prefix, std::int64_t& value) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    const char* last = line.data() + line.size();
    return std::from_chars(line.data() + prefix.size(), last, value).ec == std::errc();
}

void CountLine(std::string_view line, ExportSummary& summary) {
    std::int64_t n = 0;
    if (CountAfter(line, "PATCHOBJECTS\t", n))
        summary.patchObjects = n;
    else if (CountAfter(line, "\tNUMPATCHES ", n))
        summary.patches += n;
    else if (CountAfter(line, "NUMCAMERAS ", n))
        summary.cameras = n;
}

// Splits a chunk into lines; a line cut at the chunk's end waits in carry.
void CountChunk(const char* data, std::size_t size, std::string& carry, ExportSummary& summary) {
    const char* end = data + size;
    while (data < end) {
        const void* found = std::memchr(data, '\n', static_cast<std::size_t>(end - data));
        if (!found) {
            carry.append(data, end);
            return;
        }
        const char* newline = static_cast<const char*>(found);
        if (carry.empty()) {
            CountLine(std::string_view(data, static_cast<std::size_t>(newline - data)), summary);
        } else {
            carry.append(data, newline);
            CountLine(carry, summary);
            carry.clear();
        }
        data = newline + 1;
    }
}

}  // namespace

std::optional<ExportSummary> SummariseFile(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    ExportSummary summary;
    std::vector<char> chunk(kChunk);
    std::string carry;
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        CountChunk(chunk.data(), got, carry, summary);
        summary.bytes += got;
    }
    if (std::ferror(file.get())) return std::nullopt;
    if (!carry.empty()) CountLine(carry, summary);
    return summary;
}

std::string FormatSummary(const ExportSummary& summary, const std::string& path) {
    return "patch objects: " + std::to_string(summary.patchObjects) + "\n" +
           "patches: " + std::to_string(summary.patches) + "\n" + "cameras: " + std::to_string(summary.cameras) + "\n" +
           "bytes: " + std::to_string(summary.bytes) + "\n" + "file: " + path + "\n";
}
