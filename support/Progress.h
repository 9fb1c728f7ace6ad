// Progress on a terminal for the programs: one line, rewritten in place and
// erased at the end, silent where it is not enabled (output that is not a
// terminal). Two ways to fill it: a percentage of counted work, or a
// spinner with the time taken and a status text for work that cannot count
// itself (a plug-in's export running inside the plug-in).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace support {

class ProgressLine {
public:
    ProgressLine(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    bool Enabled() const { return enabled_; }
    // Replaces what the line shows.
    void Show(const std::string& text);
    // Erases the line when it showed anything.
    void Clear();

private:
    std::FILE* out_;
    bool enabled_;
    bool shown_ = false;
};

// "label: 42%", drawn once per percent, for work of total steps; quiet for
// totals below minimumTotal, so that small jobs stay silent on a terminal.
class Percentage {
public:
    Percentage(std::FILE* out, bool enabled, std::string label, std::int64_t total, std::int64_t minimumTotal = 20000);

    void Advance(std::int64_t count = 1);
    // Erases the line; the destructor does it too.
    void Finish() { line_.Clear(); }

private:
    ProgressLine line_;
    std::string label_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    int shownPercent_ = -1;
};

// "| 1.2 s status", redrawn on a thread of its own every 120 ms from 400 ms
// on, until destroyed; work that ends sooner shows nothing.
class Spinner {
public:
    // Asked for the status text at each redraw, on the spinner's thread.
    using Status = std::function<std::string()>;

    Spinner(std::FILE* out, bool enabled, Status status);
    ~Spinner();
    Spinner(const Spinner&) = delete;
    Spinner& operator=(const Spinner&) = delete;

private:
    void Run();

    ProgressLine line_;
    Status status_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

}  // namespace support
