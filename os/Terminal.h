// Whether a stream is an interactive terminal.
#pragma once

#include <cstdio>

namespace os {

bool IsTerminal(std::FILE* stream);

}  // namespace os
