#include <sched.h>

#include <thread>

#include "os/Cores.h"

namespace os {

// Sets of up to 4096 processors; a machine beyond that counts them all.
unsigned UsableCores() {
    constexpr int kMostProcessors = 4096;
    cpu_set_t* set = CPU_ALLOC(kMostProcessors);
    const std::size_t bytes = CPU_ALLOC_SIZE(kMostProcessors);
    int count = 0;
    if (set && sched_getaffinity(0, bytes, set) == 0) count = CPU_COUNT_S(bytes, set);
    if (set) CPU_FREE(set);
    if (count > 0) return static_cast<unsigned>(count);
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 0 ? hardware : 1;
}

}  // namespace os
