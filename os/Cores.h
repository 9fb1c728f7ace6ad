// How many cores the process may run on: what its affinity allows (a
// taskset, a container's cpuset), not every core of the machine, so that
// work spread over cores starts no thread that would only wait for one.
#pragma once

namespace os {

// At least 1.
unsigned UsableCores();

}  // namespace os
