#include "patchio/TempOutput.h"

#include <cstring>

#include "os/Paths.h"

namespace temp_output {

// An empty TEMP counts as unset: the path would otherwise start at the root
// of the file system.
bool TempOutputPath(const char* temp, char* out, std::size_t size) {
    static const char kName[] = "patchIO_out.txt";
    const char* folder = temp && *temp ? temp : os::kTempFallbackFolder;
    const std::size_t folderLength = std::strlen(folder);
    const std::size_t total = folderLength + 1 + (sizeof kName - 1);
    if (total + 1 > size) return false;
    std::memcpy(out, folder, folderLength);
    out[folderLength] = os::kPathSeparator;
    std::memcpy(out + folderLength + 1, kName, sizeof kName);
    return true;
}

}  // namespace temp_output
