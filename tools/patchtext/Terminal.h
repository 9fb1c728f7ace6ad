// The platform seam of the tools: whether a stream is a terminal.
#pragma once

#include <cstdio>

namespace patchtool {

// True when stream is connected to an interactive terminal.
bool IsTerminal(std::FILE* stream);

}  // namespace patchtool
