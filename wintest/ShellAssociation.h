// The shell's file associations as the tests set them up: a handler program
// registered for "open" on a file extension, in the Wine prefix's registry.
#pragma once

#include <string>
#include <vector>

namespace wintest {

// Makes commandLine ("%1" standing for the file) the "open" command of
// files ending in extension, under the class name progId. Answers false
// when the registry refuses.
bool RegisterOpenHandler(const std::string& extension, const std::string& progId, const std::string& commandLine);

// The environment variable that names the file in which the recorder
// program (gantline_open_recorder.exe) notes every file it was asked to
// open, one line each.
constexpr char kOpenRecordVariable[] = "GANTLINE_OPEN_RECORD";

// The lines of a record file; none when it does not exist.
std::vector<std::string> RecordedOpens(const std::string& recordFile);

}  // namespace wintest
