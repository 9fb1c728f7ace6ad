// Isolated runs on POSIX: each work runs in a forked child that writes its
// text to a pipe; the pipe's end tells the parent that the child ended.
// What a child writes: "M" at once when an allocation fails, then, when the
// work returns, "T" and the work's text, or when an exception escapes it,
// "E" and what the exception says.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <exception>
#include <new>
#include <utility>

#include "os/Isolate.h"
#include "os/IsolatePlatform.h"

namespace os {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kOutOfMemoryMark = 'M';
constexpr char kTextMark = 'T';
constexpr char kEscapedMark = 'E';
const int kCaughtSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The pipe that the interrupt handler writes to, and the signal it saw.
int interruptWrite = -1;
volatile std::sig_atomic_t interruptSignal = 0;
// The child's pipe, for the new-handler, and whether it was called.
int childPipe = -1;
bool allocationFailed = false;

void OnInterrupt(int signal) {
    const int saved = errno;
    interruptSignal = signal;
    if (interruptWrite >= 0) {
        const char mark = 'i';
        [[maybe_unused]] const ssize_t ignored = write(interruptWrite, &mark, 1);
    }
    errno = saved;
}

// Called when an allocation fails: marks the run, then lets the allocation
// throw as it would without a handler.
void OnOutOfMemory() {
    allocationFailed = true;
    const char mark = kOutOfMemoryMark;
    [[maybe_unused]] const ssize_t ignored = write(childPipe, &mark, 1);
    std::set_new_handler(nullptr);
}

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t wrote = write(fd, data, size);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return;
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
    }
}

[[noreturn]] void RunChild(const IsolatedWork& work, const IsolateLimits& limits, pid_t parent, int fd) {
    for (const int signal : kCaughtSignals) std::signal(signal, SIG_DFL);
    if (!isolate::EndWithParent(parent)) _exit(128 + SIGKILL);
    if (limits.memoryBytes > 0) {
        const std::uint64_t bytes = isolate::AddressSpaceBytes() + limits.memoryBytes;
        const struct rlimit limit { static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes) };
        setrlimit(RLIMIT_AS, &limit);
    }
    childPipe = fd;
    std::set_new_handler(OnOutOfMemory);
    std::string said;
    int result = 0;
    try {
        result = work(said);
        said.insert(said.begin(), kTextMark);
    } catch (const std::exception& e) {
        said = kEscapedMark + std::string(e.what());
    } catch (...) {
        said = kEscapedMark + std::string("unknown");
    }
    std::fflush(nullptr);
    WriteAll(fd, said.data(), said.size());
    // Not exit(): the parent's exit handlers and static objects are its own.
    _exit(result);
}

std::string SignalText(int signal) {
    const char* name = strsignal(signal);
    return "signal " + std::to_string(signal) + " (" + (name ? name : "unknown") + ")";
}

}  // namespace

struct Child {
    std::size_t number = 0;
    pid_t pid = 0;
    int fd = -1;
    std::string bytes;
    Clock::time_point start;
};

struct IsolatedRuns::State {
    IsolateLimits limits;
    std::vector<Child> children;
    std::deque<std::pair<std::size_t, IsolatedRun>> done;  // runs that ended before Wait
    std::size_t started = 0;
    int interruptRead = -1;
    struct sigaction previous[sizeof kCaughtSignals / sizeof kCaughtSignals[0]];
};

namespace {

IsolatedRun Reap(Child& child) {
    IsolatedRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - child.start).count();
    close(child.fd);
    int status = 0;
    struct rusage usage {};
    while (wait4(child.pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            run.ended = false;
            run.how = std::string("lost the child: ") + std::strerror(errno);
            return run;
        }
    }
    run.peakBytes = isolate::PeakBytes(usage);
    std::string& bytes = child.bytes;
    run.outOfMemory = !bytes.empty() && bytes[0] == kOutOfMemoryMark;
    const std::size_t text = run.outOfMemory ? 1 : 0;
    const char mark = text < bytes.size() ? bytes[text] : '\0';
    if (mark == kTextMark) run.said = bytes.substr(text + 1);
    if (mark == kEscapedMark) {
        run.ended = false;
        run.how = "an exception escaped it: " + bytes.substr(text + 1);
    } else if (WIFEXITED(status)) {
        run.result = WEXITSTATUS(status);
    } else {
        run.ended = false;
        run.how = SignalText(WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }
    return run;
}

}  // namespace

IsolatedRuns::IsolatedRuns(const IsolateLimits& limits) : state_(std::make_unique<State>()) {
    state_->limits = limits;
    int fds[2];
    if (pipe(fds) != 0) return;
    state_->interruptRead = fds[0];
    interruptWrite = fds[1];
    interruptSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < sizeof kCaughtSignals / sizeof kCaughtSignals[0]; ++i)
        sigaction(kCaughtSignals[i], &action, &state_->previous[i]);
}

IsolatedRuns::~IsolatedRuns() {
    EndAll();
    if (state_->interruptRead < 0) return;
    for (std::size_t i = 0; i < sizeof kCaughtSignals / sizeof kCaughtSignals[0]; ++i)
        sigaction(kCaughtSignals[i], &state_->previous[i], nullptr);
    close(state_->interruptRead);
    close(interruptWrite);
    interruptWrite = -1;
}

std::size_t IsolatedRuns::Start(const IsolatedWork& work) {
    const std::size_t number = state_->started++;
    // What is buffered now would be written twice, once by each process.
    std::fflush(nullptr);
    int fds[2];
    const pid_t parent = getpid();
    const bool piped = pipe(fds) == 0;
    const pid_t pid = piped ? fork() : -1;
    if (pid == 0) {
        close(fds[0]);
        RunChild(work, state_->limits, parent, fds[1]);
    }
    // No child to be had (out of processes or descriptors): the work is not
    // done, never done here without its limit and its guard.
    if (pid < 0) {
        const int error = errno;
        if (piped) {
            close(fds[0]);
            close(fds[1]);
        }
        IsolatedRun run;
        run.ended = false;
        run.how = std::string("no process could be started for it: ") + std::strerror(error);
        state_->done.emplace_back(number, std::move(run));
        return number;
    }
    close(fds[1]);
    state_->children.push_back(Child{number, pid, fds[0], std::string(), Clock::now()});
    return number;
}

std::size_t IsolatedRuns::Running() const { return state_->children.size() + state_->done.size(); }

IsolatedRuns::Waited IsolatedRuns::Wait(std::size_t& which, IsolatedRun& run) {
    State& s = *state_;
    if (!s.done.empty()) {
        which = s.done.front().first;
        run = std::move(s.done.front().second);
        s.done.pop_front();
        return Waited::kEnded;
    }
    if (s.children.empty()) return Waited::kNoneRunning;
    for (;;) {
        std::vector<pollfd> watched;
        for (const Child& child : s.children) watched.push_back({child.fd, POLLIN, 0});
        if (s.interruptRead >= 0) watched.push_back({s.interruptRead, POLLIN, 0});
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return Waited::kInterrupted;
        }
        if (s.interruptRead >= 0 && watched.back().revents != 0) {
            char drained[16];
            [[maybe_unused]] const ssize_t ignored = read(s.interruptRead, drained, sizeof drained);
            return Waited::kInterrupted;
        }
        for (std::size_t i = 0; i < s.children.size(); ++i) {
            if (watched[i].revents == 0) continue;
            char block[4096];
            const ssize_t got = read(s.children[i].fd, block, sizeof block);
            if (got < 0 && errno == EINTR) continue;
            if (got > 0) {
                s.children[i].bytes.append(block, static_cast<std::size_t>(got));
                continue;
            }
            Child child = std::move(s.children[i]);
            s.children.erase(s.children.begin() + static_cast<std::ptrdiff_t>(i));
            which = child.number;
            run = Reap(child);
            return Waited::kEnded;
        }
    }
}

std::vector<std::size_t> IsolatedRuns::EndAll() {
    std::vector<std::size_t> ended;
    for (Child& child : state_->children) {
        kill(child.pid, SIGKILL);
        Reap(child);
        ended.push_back(child.number);
    }
    state_->children.clear();
    return ended;
}

IsolatedRun RunIsolated(const IsolatedWork& work, const IsolateLimits& limits) {
    IsolatedRun run;
    int signal = 0;
    {
        IsolatedRuns runs(limits);
        runs.Start(work);
        std::size_t which = 0;
        while (runs.Wait(which, run) == IsolatedRuns::Waited::kInterrupted) {
            signal = interruptSignal;
            if (signal != 0) break;
        }
    }
    // Interrupted: the child is ended, and the program ends as the signal
    // would have ended it.
    if (signal != 0) std::raise(signal);
    return run;
}

IsolatedRun RunIsolated(const std::function<int()>& work) {
    return RunIsolated([&work](std::string&) { return work(); }, IsolateLimits());
}

bool AllocationFailed() { return allocationFailed; }

std::uint64_t MachineMemoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) : 0;
}

}  // namespace os
