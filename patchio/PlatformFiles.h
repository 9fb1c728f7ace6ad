// The platform seam of the patch format library: where the temporary
// output goes and how the shell is asked to open a file.
#pragma once

#include <cstddef>

namespace platform_files {

// Path buffers hold this many characters, the terminating null included.
constexpr std::size_t kMaxPath = 260;

// Builds the path of patchIO_out.txt in the folder temp (a null temp: the
// platform's fallback folder). Answers false, leaving out untouched, when the
// path does not fit size characters with its null.
bool TempOutputPath(const char* temp, char* out, std::size_t size);

// Asks the shell to "open" the file with its default application; the
// outcome is not reported.
void ShellOpen(const char* path);

}  // namespace platform_files
