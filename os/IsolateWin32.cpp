// Isolated runs on Windows: there is no fork, and the one library that
// needs isolating (the scene importer) is not part of the Windows builds,
// so the work runs in this process, at once, without a memory limit.
#include <windows.h>

#include <chrono>
#include <deque>
#include <exception>
#include <utility>

#include "os/Isolate.h"

namespace os {

struct IsolatedRuns::State {
    std::deque<std::pair<std::size_t, IsolatedRun>> done;
    std::size_t started = 0;
};

IsolatedRuns::IsolatedRuns(const IsolateLimits&) : state_(std::make_unique<State>()) {}
IsolatedRuns::~IsolatedRuns() = default;

std::size_t IsolatedRuns::Start(const IsolatedWork& work) {
    const auto start = std::chrono::steady_clock::now();
    IsolatedRun run = RunIsolated(work, IsolateLimits{});
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state_->done.emplace_back(state_->started, std::move(run));
    return state_->started++;
}

std::size_t IsolatedRuns::Running() const { return state_->done.size(); }

IsolatedRuns::Waited IsolatedRuns::Wait(std::size_t& which, IsolatedRun& run) {
    if (state_->done.empty()) return Waited::kNoneRunning;
    which = state_->done.front().first;
    run = std::move(state_->done.front().second);
    state_->done.pop_front();
    return Waited::kEnded;
}

std::vector<std::size_t> IsolatedRuns::EndAll() { return {}; }

IsolatedRun RunIsolated(const IsolatedWork& work, const IsolateLimits&) {
    IsolatedRun run;
    // No process of its own here: an exception that leaves the work ends it
    // as a crash would, not the caller.
    try {
        run.result = work(run.said);
    } catch (const std::exception& e) {
        run.ended = false;
        run.how = std::string("an exception: ") + e.what();
    } catch (...) {
        run.ended = false;
        run.how = "an exception";
    }
    return run;
}

IsolatedRun RunIsolated(const std::function<int()>& work) {
    return RunIsolated([&work](std::string&) { return work(); }, IsolateLimits());
}

bool AllocationFailed() { return false; }

std::uint64_t MachineMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

}  // namespace os
