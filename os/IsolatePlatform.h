// What isolated runs on POSIX need of the particular system (Linux: see
// IsolateLinux.cpp).
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <cstdint>

namespace os::isolate {

// Makes the calling child end when parent does, so that a killed program
// leaves no child behind that goes on writing its files. Answers false
// when it cannot (the child should then end at once).
bool EndWithParent(pid_t parent);

// The address space the calling process holds now, in bytes.
std::uint64_t AddressSpaceBytes();

// The peak resident memory that usage reports, in bytes.
std::uint64_t PeakBytes(const struct rusage& usage);

}  // namespace os::isolate
