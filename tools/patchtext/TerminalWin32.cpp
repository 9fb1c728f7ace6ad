#include <io.h>

#include "tools/patchtext/Terminal.h"

namespace patchtool {

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

}  // namespace patchtool
