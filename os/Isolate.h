// Running a piece of work where a crash cannot take the program with it,
// and where it cannot take more memory than it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace os {

struct IsolatedRun {
    int result = 0;     // what the work answered, when it ended normally
    bool ended = true;  // false when it crashed or was killed
    std::string how;    // for a message when it did not end: "signal 11 (Segmentation fault)"
    std::string said;   // what the work handed back in its text
    // An allocation failed in the work: it asked for more than its limit.
    bool outOfMemory = false;
    std::uint64_t peakBytes = 0;  // the work's peak resident memory, 0 where unknown
    double seconds = 0;           // wall time from its start to its end
};

// The work: it answers its result (0 to 255) and may fill a text that comes
// back to the caller (IsolatedRun::said).
using IsolatedWork = std::function<int(std::string& said)>;

struct IsolateLimits {
    // The most memory (address space, beyond what the program held when the
    // work began) the work may take; 0: no limit of ours.
    std::uint64_t memoryBytes = 0;
};

// Runs work in a child process where the platform has one to spare (POSIX:
// a fork, whose exit status carries the result), so that a fault inside a
// library the work calls, such as a scene importer reading a hostile file,
// ends the child and is reported instead of ending the program. Where it
// has none (Windows) work runs in this process, without a memory limit.
// Standard output and error are shared; both are flushed before the child
// ends. Whatever the work changes in memory stays in the child: it reports
// through files, streams, its text and its result.
// An allocation that the limit refuses throws std::bad_alloc in the work as
// any failed allocation does, and marks the run outOfMemory.
IsolatedRun RunIsolated(const std::function<int()>& work);
IsolatedRun RunIsolated(const IsolatedWork& work, const IsolateLimits& limits);

// Several isolated runs at once. While it lives, an interrupt (Ctrl-C) or a
// termination request does not end the program: Wait answers kInterrupted
// and the caller decides. Destroying it ends every run still going (each
// is killed) and waits for them.
class IsolatedRuns {
public:
    explicit IsolatedRuns(const IsolateLimits& limits);
    ~IsolatedRuns();
    IsolatedRuns(const IsolatedRuns&) = delete;
    IsolatedRuns& operator=(const IsolatedRuns&) = delete;

    // Starts work; answers its number, counted from 0 in starting order.
    std::size_t Start(const IsolatedWork& work);
    std::size_t Running() const;

    enum class Waited { kEnded, kInterrupted, kNoneRunning };
    // Waits until a run ends (which and run say which and how) or an
    // interrupt comes.
    Waited Wait(std::size_t& which, IsolatedRun& run);
    // Kills every run still going and waits for them; answers their numbers.
    std::vector<std::size_t> EndAll();

    struct State;

private:
    std::unique_ptr<State> state_;
};

// Inside an isolated run's work: whether an allocation has failed in it
// (the work may have caught the std::bad_alloc and answered something else).
bool AllocationFailed();

// The machine's physical memory in bytes; 0 where it cannot be told.
std::uint64_t MachineMemoryBytes();

}  // namespace os
