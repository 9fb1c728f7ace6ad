// The export command over several scene files and folders: each input in a
// child process of its own, up to jobs at once, a progress line on a
// terminal, a summary at the end and a report file if asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BatchOptions {
    std::string plugin;
    std::vector<std::string> inputs;  // files and folders
    std::string outputFolder;
    std::string report;  // the JSON report's path; empty: none
    unsigned jobs = 1;
    std::int32_t threads = 0;       // per child; 0: every core
    std::uint64_t memoryLimit = 0;  // per child
    bool progress = false;
};

// Answers 0 when every input was exported, 1 when an output could not be
// written, else 2 when an input was refused; 130 when interrupted.
int RunBatchExport(const BatchOptions& options);
