// A progress line on a terminal while an export runs: a spinner, the time
// taken and how much of the output file is written so far. It appears only
// when the export takes long enough to need it and is erased at the end.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

class ProgressLine {
public:
    // Shows progress on stream for an export to path, when enabled.
    ProgressLine(std::FILE* stream, std::string path, bool enabled);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    void Run();
    void Draw(int frame, double seconds);
    std::string Written() const;

    std::FILE* stream_;
    std::string path_;
    std::filesystem::file_time_type before_{};  // of a file that path named already
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool drawn_ = false;
    std::thread thread_;
};
