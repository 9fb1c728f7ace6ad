// The short summary of a written patch text file that the export command
// prints, read back from the file itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct ExportSummary {
    std::int64_t patchObjects = 0;
    std::int64_t patches = 0;
    std::int64_t cameras = 0;
    std::uint64_t bytes = 0;
};

// Counts from the file's count lines (PATCHOBJECTS, NUMPATCHES,
// NUMCAMERAS) and its size; nothing when the file cannot be read.
std::optional<ExportSummary> SummariseFile(const std::string& path);

// Five "label: value" lines, the path last.
std::string FormatSummary(const ExportSummary& summary, const std::string& path);
