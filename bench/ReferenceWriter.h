// The plain way to write patch text: every line form through fprintf, in the
// C locale. The writer's speed and its bytes are measured against it.
#pragma once

#include <cstdint>

#include "patchio/PatchIO.h"

namespace reference {

// Writes set to path with fprintf; answers 1 when the file was opened.
std::int32_t Write(const PatchIO& set, const char* path);

}  // namespace reference
