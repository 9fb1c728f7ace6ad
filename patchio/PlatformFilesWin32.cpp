#include "host/WinTypes.h"
#include <shellapi.h>

#include "patchio/PlatformFiles.h"
#include "patchio/PlatformFilesCommon.h"

namespace platform_files {

bool TempOutputPath(const char* temp, char* out, std::size_t size) {
    if (!temp || !*temp) return JoinTempPath("C:", '\\', out, size);
    return JoinTempPath(temp, '\\', out, size);
}

void ShellOpen(const char* path) { ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOW); }

}  // namespace platform_files
