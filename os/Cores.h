// How many cores the process may run on: what its affinity allows (a
// taskset, a container's cpuset) and, on Linux, its cgroups' quota of
// processor time (a container's --cpus), not every core of the machine, so
// that work spread over cores starts no thread that would only wait for one.
#pragma once

#include <string>

namespace os {

// At least 1.
unsigned UsableCores();

// What the Linux count reads, apart for its tests. Whole processors that a
// quota of processor time buys (quota microseconds in every period, rounded
// up), 0 for none: a negative quota or a period that is not positive.
unsigned QuotaCores(long long quota, long long period);
// The same of the unified hierarchy's cpu.max ("150000 100000"; "max
// 100000" is none); 0 for text of any other form.
unsigned CpuMaxCores(const std::string& text);

}  // namespace os
