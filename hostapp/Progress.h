// A progress line on a terminal while something slow runs: a spinner, the
// time taken and a status text. It appears only when the work takes long
// enough to need it and is erased at the end.
#pragma once

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class ProgressLine {
public:
    // Asked for the status text at each redraw, on the line's own thread.
    using Status = std::function<std::string()>;

    // Shows progress on stream until destroyed, when enabled.
    ProgressLine(std::FILE* stream, bool enabled, Status status);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    void Run();
    void Draw(int frame, double seconds);

    std::FILE* stream_;
    Status status_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool drawn_ = false;
    std::thread thread_;
};

// The status of an export to path: collecting the scene until the file is
// rewritten, then how much of it is written.
class ExportStatus {
public:
    explicit ExportStatus(std::string path);
    std::string operator()() const;

private:
    std::string path_;
    std::filesystem::file_time_type before_{};  // of a file that path named already
};
