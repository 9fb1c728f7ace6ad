// Shared by the platform files of the patch format library.
#pragma once

#include <cstddef>
#include <cstring>

namespace platform_files {

// folder + separator + patchIO_out.txt, when it fits size with its null.
inline bool JoinTempPath(const char* folder, char separator, char* out, std::size_t size) {
    static const char kName[] = "patchIO_out.txt";
    const std::size_t folderLength = std::strlen(folder);
    const std::size_t total = folderLength + 1 + (sizeof kName - 1);
    if (total + 1 > size) return false;
    std::memcpy(out, folder, folderLength);
    out[folderLength] = separator;
    std::memcpy(out + folderLength + 1, kName, sizeof kName);
    return true;
}

}  // namespace platform_files
