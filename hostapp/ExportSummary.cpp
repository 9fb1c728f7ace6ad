#include "hostapp/ExportSummary.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace {

// The count after prefix at the start of line, if the line is of that form.
std::optional<std::int64_t> CountAfter(const std::string& line, const char* prefix) {
    const std::string_view view(line);
    const std::string_view head(prefix);
    if (view.substr(0, head.size()) != head) return std::nullopt;
    std::int64_t value = 0;
    const char* first = line.data() + head.size();
    const char* last = line.data() + line.size();
    if (std::from_chars(first, last, value).ec != std::errc()) return std::nullopt;
    return value;
}

void CountLine(const std::string& line, ExportSummary& summary) {
    if (auto n = CountAfter(line, "PATCHOBJECTS\t")) summary.patchObjects = *n;
    else if (auto p = CountAfter(line, "\tNUMPATCHES ")) summary.patches += *p;
    else if (auto c = CountAfter(line, "NUMCAMERAS ")) summary.cameras = *c;
}

}  // namespace

std::optional<ExportSummary> SummariseFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    ExportSummary summary;
    std::string line;
    while (std::getline(in, line)) CountLine(line, summary);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    summary.bytes = error ? 0 : static_cast<std::uint64_t>(size);
    return summary;
}

std::string FormatSummary(const ExportSummary& summary, const std::string& path) {
    return "patch objects: " + std::to_string(summary.patchObjects) + "\n" +
           "patches: " + std::to_string(summary.patches) + "\n" +
           "cameras: " + std::to_string(summary.cameras) + "\n" +
           "bytes: " + std::to_string(summary.bytes) + "\n" +
           "file: " + path + "\n";
}
