// Isolated runs on Windows: there is no fork, and the one library that
// needs isolating (the scene importer) is not part of the Windows builds,
// so the work runs in this process.
#include "os/Isolate.h"

namespace os {

IsolatedRun RunIsolated(const std::function<int()>& work) { return IsolatedRun{work(), true, ""}; }

}  // namespace os
