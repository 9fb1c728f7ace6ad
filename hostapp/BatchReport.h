// What a batch export tells of each input: the records of its --report
// file (a JSON array in input order) and the summary it prints at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BatchRecord {
    std::string input;
    std::string output;
    std::string status;   // "exported", "refused", or "failed" (the output could not be written)
    std::string message;  // why it was refused or failed, or the warnings of an export; lines joined by "\n"
    std::int64_t patchObjects = 0;
    std::int64_t patches = 0;
    std::int64_t cameras = 0;
    double seconds = 0;
    std::uint64_t peakBytes = 0;
};

// The records as a JSON array, one object per record in the order given.
std::string ReportJson(const std::vector<BatchRecord>& records);

// "exported: N", "refused: N" with a line per reason (most common first),
// "failed: N" with its reasons; interrupted adds how many did not finish.
std::string BatchSummary(const std::vector<BatchRecord>& records, std::size_t unfinished);

// The reason of a message, as the summary groups it: without the input's
// name and with its numbers as "N" ("the file ends after N of the N faces
// that its header declares").
std::string Reason(const BatchRecord& record);
