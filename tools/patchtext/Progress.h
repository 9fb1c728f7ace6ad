// A progress line for long runs: "label: 42%", rewritten in
// place on an interactive terminal and silent everywhere else.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace patchtool {

class Progress {
public:
    // Draws only when enabled and total is at least minimumTotal, so small
    // files stay quiet even on a terminal.
    Progress(std::FILE* out, bool enabled, std::string label, std::int64_t total,
             std::int64_t minimumTotal = 20000);
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress();

    void Advance(std::int64_t count = 1);
    // Clears the line; the destructor does it too.
    void Finish();

private:
    std::FILE* out_;
    bool active_;
    std::string label_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    int shownPercent_ = -1;
};

}  // namespace patchtool
