#include <sched.h>

#include <exception>
#include <fstream>
#include <string>
#include <thread>

#include "os/Cores.h"

namespace os {
namespace {

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::string text;
    std::getline(file, text);
    return text;
}

long long FileNumber(const std::string& path) {
    const std::string text = FileText(path);
    try {
        return text.empty() ? -1 : std::stoll(text);
    } catch (const std::exception&) {
        return -1;
    }
}

bool NamesController(const std::string& controllers, const std::string& name) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = controllers.find(',', from);
        if (controllers.compare(from, comma == std::string::npos ? std::string::npos : comma - from, name) == 0)
            return true;
        if (comma == std::string::npos) return false;
        from = comma + 1;
    }
}

// The tighter of two counts of cores, 0 being none.
unsigned Tighter(unsigned least, unsigned cores) { return cores > 0 && (least == 0 || cores < least) ? cores : least; }

// The quota of one cgroup, by the version of the line that names it.
unsigned GroupQuotaCores(bool unified, const std::string& path) {
    if (unified) return CpuMaxCores(FileText("/sys/fs/cgroup" + path + "/cpu.max"));
    unsigned least = 0;
    for (const char* mount : {"/sys/fs/cgroup/cpu", "/sys/fs/cgroup/cpu,cpuacct"}) {
        const std::string group = mount + path;
        least = Tighter(least,
                        QuotaCores(FileNumber(group + "/cpu.cfs_quota_us"), FileNumber(group + "/cpu.cfs_period_us")));
    }
    return least;
}

// The tightest quota on the process's cgroups and their parents (whose
// quotas hold for their children too), in whole processors; 0: none.
unsigned CgroupQuotaCores() {
    std::ifstream groups("/proc/self/cgroup");
    unsigned least = 0;
    for (std::string line; std::getline(groups, line);) {
        // "0::/path" (the unified hierarchy) or "4:cpu,cpuacct:/path".
        const std::size_t first = line.find(':');
        const std::size_t second = first == std::string::npos ? first : line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const bool unified = controllers.empty();
        if (!unified && !NamesController(controllers, "cpu")) continue;
        std::string path = line.substr(second + 1);
        for (;;) {
            least = Tighter(least, GroupQuotaCores(unified, path == "/" ? "" : path));
            const std::size_t slash = path.rfind('/');
            if (slash == std::string::npos || path == "/") break;
            path = slash == 0 ? "/" : path.substr(0, slash);
        }
    }
    return least;
}

}  // namespace

unsigned QuotaCores(long long quota, long long period) {
    if (quota <= 0 || period <= 0) return 0;
    const long long cores = (quota + period - 1) / period;
    return cores > 4096 ? 4096u : static_cast<unsigned>(cores);
}

unsigned CpuMaxCores(const std::string& text) {
    const std::size_t space = text.find(' ');
    if (space == std::string::npos || text.compare(0, space, "max") == 0) return 0;
    try {
        std::size_t quotaEnd = 0;
        std::size_t periodEnd = 0;
        const long long quota = std::stoll(text.substr(0, space), &quotaEnd);
        const std::string periodText = text.substr(space + 1);
        const long long period = std::stoll(periodText, &periodEnd);
        if (quotaEnd != space || periodEnd != periodText.size()) return 0;
        return QuotaCores(quota, period);
    } catch (const std::exception&) {
        return 0;
    }
}

// Sets of up to 4096 processors; a machine beyond that counts them all. A
// quota of processor time (a container's --cpus) caps the count: threads
// beyond it would only wait for their turn.
unsigned UsableCores() {
    constexpr int kMostProcessors = 4096;
    cpu_set_t* set = CPU_ALLOC(kMostProcessors);
    const std::size_t bytes = CPU_ALLOC_SIZE(kMostProcessors);
    int count = 0;
    if (set && sched_getaffinity(0, bytes, set) == 0) count = CPU_COUNT_S(bytes, set);
    if (set) CPU_FREE(set);
    unsigned cores = count > 0 ? static_cast<unsigned>(count) : std::thread::hardware_concurrency();
    if (cores == 0) cores = 1;
    // Read once: every read and write asks, and a quota is set from outside
    // before the process starts.
    static const unsigned quota = CgroupQuotaCores();
    return quota > 0 && quota < cores ? quota : cores;
}

}  // namespace os
