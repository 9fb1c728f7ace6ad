#include "host/Desktop.h"
#include "patchio/PlatformFiles.h"
#include "patchio/PlatformFilesCommon.h"

namespace platform_files {

bool TempOutputPath(const char* temp, char* out, std::size_t size) {
    return JoinTempPath(temp && *temp ? temp : "/tmp", '/', out, size);
}

void ShellOpen(const char* path) { desktop::ShellRequest("open", path, SW_SHOW); }

}  // namespace platform_files
