// Shared by the patch text reader and its failure reasons: the delimiters
// that separate the format's tokens, and the second pass over a file that
// finds where a failing token stands.
#pragma once

#include <cstdint>

#include "patchio/PatchIO.h"

namespace patchtext {

// Carriage return, tab, newline, blank and the two braces.
inline constexpr char kDelimiters[] = "\r\t\n {}";

// Splits the file at path into tokens exactly as the reader's tokeniser does
// and fills why's line, column, found and atEnd for token number ordinal
// (counted from 1 in the order the reader took them). A file that can no
// longer be opened, or that ends earlier, gives the end of what was read.
void LocateToken(const char* path, std::int64_t ordinal, ReadFailure& why);

// Whether path names a regular file, which can be opened and read again.
bool IsRegularFile(const char* path);

}  // namespace patchtext
