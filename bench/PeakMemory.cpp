#include "PeakMemory.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace peakmem {
namespace {

// A "Vm...:  1234 kB" line of /proc/self/status, in bytes; 0 when absent.
std::size_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return static_cast<std::size_t>(std::strtoull(line.c_str() + length + 1, nullptr, 10)) * 1024;
    return 0;
}

bool WriteAll(int fd, const void* data, std::size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t wrote = ::write(fd, p, length);
        if (wrote <= 0) return false;
        p += wrote;
        length -= static_cast<std::size_t>(wrote);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t length) {
    char* p = static_cast<char*>(data);
    while (length > 0) {
        const ssize_t got = ::read(fd, p, length);
        if (got <= 0) return false;
        p += got;
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

// The child's side: measure, send peak and values, and leave without
// running the parent's exit handlers.
[[noreturn]] void RunChild(int fd, const std::function<std::vector<double>(Probe&)>& work) {
    int status = 1;
    if (ResetPeak()) {  // the system can measure
        Probe probe;
        const std::vector<double> values = work(probe);
        probe.Stop();
        const double peak = probe.PeakOverBaseline();
        const double count = static_cast<double>(values.size());
        if (WriteAll(fd, &peak, sizeof peak) && WriteAll(fd, &count, sizeof count) &&
            WriteAll(fd, values.data(), values.size() * sizeof(double)))
            status = 0;
    }
    ::close(fd);
    std::_Exit(status);
}

}  // namespace

std::size_t ResidentBytes() { return StatusBytes("VmRSS"); }

std::size_t PeakBytes() { return StatusBytes("VmHWM"); }

bool ResetPeak() {
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (!file) return false;
    const bool ok = std::fputs("5", file) >= 0;
    return std::fclose(file) == 0 && ok;
}

// Freed heap memory goes back to the system before a baseline or a restart,
// so that what the program or the preparations freed is neither counted as
// the work's nor quietly reused by it.
Probe::Probe() {
    malloc_trim(0);
    ResetPeak();
    baseline_ = static_cast<double>(ResidentBytes());
}

void Probe::RestartPeak() {
    malloc_trim(0);
    ResetPeak();
}

void Probe::Stop() {
    if (stopped_) return;
    stopped_ = true;
    peak_ = static_cast<double>(PeakBytes()) - baseline_;
}

Report InChild(const std::function<std::vector<double>(Probe&)>& work) {
    Report report;
    int fds[2];
    if (::pipe(fds) != 0) {
        report.error = "no pipe";
        return report;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        RunChild(fds[1], work);
    }
    ::close(fds[1]);
    double count = 0;
    const bool got = child > 0 && ReadAll(fds[0], &report.peakBytes, sizeof report.peakBytes) &&
                     ReadAll(fds[0], &count, sizeof count) && count >= 0 && count < 64;
    if (got) {
        report.values.resize(static_cast<std::size_t>(count));
        if (!ReadAll(fds[0], report.values.data(), report.values.size() * sizeof(double))) report.values.clear();
    }
    ::close(fds[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    if (child <= 0 || !got || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report.error = "the measuring child failed (is /proc/self/clear_refs writable?)";
    return report;
}

}  // namespace peakmem
