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
    // Per child; 0: a share of the cores, and of sharedMemory, among the
    // jobs that run at once.
    std::int32_t threads = 0;
    std::uint64_t memoryLimit = 0;
    std::uint64_t sharedMemory = 0;
    bool progress = false;
};

// The options with each job's share filled in where none is given: jobs
// beyond the inputs never start, so the cores and sharedMemory are divided
// among those that do (at least one each).
BatchOptions SharedAmongJobs(const BatchOptions& options, std::size_t inputs);

// Answers 0 when every input was exported, 1 when an output could not be
// written, else 2 when an input was refused; 130 when interrupted.
int RunBatchExport(const BatchOptions& options);
