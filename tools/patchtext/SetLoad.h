// Reading a patch text file for a command, with the reader's reason printed
// as "file:line:column: error: ..." when it fails.
#pragma once

#include <cstdint>
#include <string>

#include "patchio/PatchIO.h"
#include "tools/patchtext/Commands.h"

namespace patchtool {

// The reason of a failed read without its position: "expected ..., found ...".
std::string FailureText(const ReadFailure& why);

// Reads path into set and fills versionText with the file's version token.
// Answers kExitOk, kExitBadFile (it does not read) or kExitUsage (it cannot
// be opened), having printed why.
int LoadSet(const std::string& path, PatchIO& set, std::string& versionText, Console& console);

// Files from this size on show what is happening while they are read and
// scanned, when the error stream is a terminal.
constexpr std::int64_t kLargeFileBytes = std::int64_t{16} << 20;

// The size of a file in bytes, -1 when it cannot be opened.
std::int64_t FileSize(const std::string& path);

// "path:line:column: " or "path: " when the line is not known.
std::string Location(const std::string& path, std::int64_t line, std::int64_t column);

}  // namespace patchtool
