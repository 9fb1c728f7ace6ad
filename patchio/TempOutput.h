// Where WriteTempAndOpen writes: patchIO_out.txt in the temporary folder.
#pragma once

#include <cstddef>

namespace temp_output {

// Path buffers hold this many characters, the terminating null included.
constexpr std::size_t kMaxPath = 260;

// Builds the path of patchIO_out.txt in the folder temp (null or empty: the
// platform's fallback folder). Answers false, leaving out untouched, when
// the path does not fit size characters with its null.
bool TempOutputPath(const char* temp, char* out, std::size_t size);

}  // namespace temp_output
