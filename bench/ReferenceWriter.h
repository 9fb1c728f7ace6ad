// The plain ways to write patch text, for the writer to be measured against:
// every line form through fprintf in the C locale, and every number through
// std::to_chars into a buffer (what the standard library's own number
// formatting gives, without the writer's). Both give the writer's bytes.
#pragma once

#include <cstdint>

#include "patchio/PatchIO.h"

namespace reference {

// Writes set to path with fprintf; answers 1 when the file was opened.
std::int32_t Write(const PatchIO& set, const char* path);
// Writes set to path with std::to_chars and a 64 KiB buffer.
std::int32_t WriteToChars(const PatchIO& set, const char* path);

}  // namespace reference
