#include <thread>

#include "os/Cores.h"

namespace os {

// Where the system tells no affinity: every core.
unsigned UsableCores() {
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 0 ? hardware : 1;
}

}  // namespace os
