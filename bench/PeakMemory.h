// Peak resident memory of a piece of work, measured in a child process so
// that nothing the benchmark program itself has touched or freed before
// counts. The platform seam of the benchmarks: Linux (fork, the peak
// resident set of /proc/self/status, reset through /proc/self/clear_refs,
// and glibc's malloc_trim).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace peakmem {

// What a child reports back.
struct Report {
    std::string error;           // empty when the measurement worked
    double peakBytes = 0;        // peak resident set minus the baseline
    std::vector<double> values;  // what the work answered
};

// The resident set of the calling process now, in bytes.
std::size_t ResidentBytes();

// Starts the peak afresh at the current resident set. False where the
// system cannot (the measuring child then fails).
bool ResetPeak();

// The peak resident set since the last reset, in bytes.
std::size_t PeakBytes();

// The measurement inside the child: the baseline is the resident set when
// the child starts; the peak runs from then (or from RestartPeak) until
// Stop (or until the work returns).
class Probe {
public:
    Probe();
    // Starts the peak afresh, after preparations that are not part of the
    // work measured; the baseline stays.
    void RestartPeak();
    // Ends the measurement; what the work does afterwards does not count.
    void Stop();
    double PeakOverBaseline() const { return peak_; }

private:
    double baseline_ = 0;
    double peak_ = 0;
    bool stopped_ = false;
};

// Runs work in a child process and answers the peak over the baseline and
// the values that work answers.
Report InChild(const std::function<std::vector<double>(Probe&)>& work);

}  // namespace peakmem
