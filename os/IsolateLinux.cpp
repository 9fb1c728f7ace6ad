// The Linux part of isolated runs: the parent-death signal, the address
// space from /proc, and the unit of the peak resident size.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>

#include "os/IsolatePlatform.h"

namespace os::isolate {

bool EndWithParent(pid_t parent) {
    // Checked after the request: the parent may have ended before it.
    return prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 && getppid() == parent;
}

std::uint64_t AddressSpaceBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm) return 0;
    unsigned long long pages = 0;
    const int read = std::fscanf(statm, "%llu", &pages);
    std::fclose(statm);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return read == 1 && pageSize > 0 ? pages * static_cast<std::uint64_t>(pageSize) : 0;
}

// Linux reports ru_maxrss in kilobytes.
std::uint64_t PeakBytes(const struct rusage& usage) {
    return usage.ru_maxrss > 0 ? static_cast<std::uint64_t>(usage.ru_maxrss) * 1024u : 0;
}

}  // namespace os::isolate
