// What replacing a file asks of the platform, apart from opening: each
// platform's file (FileReplacePosix.cpp, FileReplaceWin32.cpp) defines
// these; FileReplace.cpp holds the steps that are the same everywhere.
#pragma once

#include <cstdio>
#include <string>

namespace os {
namespace replace {

// The C library's reason for errno, or "a write failed" where it has none.
std::string ErrnoText(int error);
// Writes what the system holds of stream's file to the disk; false with
// why set when it cannot.
bool SyncToDisk(std::FILE* stream, std::string& why);
// Puts the closed temporary in target's place in one step; false with why
// set when it cannot, target then as it was.
bool MoveOver(const std::string& temp, const std::string& target, std::string& why);
void RemoveFile(const std::string& path);

}  // namespace replace
}  // namespace os
