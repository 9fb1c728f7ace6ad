#include <unistd.h>

#include "tools/patchtext/Terminal.h"

namespace patchtool {

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace patchtool
