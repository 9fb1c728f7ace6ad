// Work spread over the machine's cores, for the tessellation of the tools
// (surface::ForEach): the results do not depend on how many there are.
#pragma once

#include "surface/Tessellator.h"

namespace patchtool {

// Runs the jobs in contiguous runs on threads threads (0: the format
// library's count, which --threads sets), the caller's thread taking the
// last run, and any that no thread could be started for; a job's exception
// comes out of the call once every thread has ended.
surface::ForEach EveryCore(unsigned threads = 0);

}  // namespace patchtool
