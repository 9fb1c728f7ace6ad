// Files and captured output for the tests of the patchtext commands.
#pragma once

#include <sstream>
#include <string>

#include "tools/patchtext/Commands.h"

namespace toolfiles {

// One triangular patch over (0,0,0), (10,0,0), (0,10,0) and one camera, as
// the writer lays it out: 26 lines.
extern const char* const kTriangleFile;

// text with the first occurrence of from replaced by to (which must exist).
std::string Replace(std::string text, const std::string& from, const std::string& to);
// The line (from 1) of the first occurrence of needle, 0 if none.
int LineOf(const std::string& text, const std::string& needle);

// Writes text to a file of that name in the test folder, in a name of the
// running test's own; answers its path.
std::string WriteFile(const std::string& name, const std::string& text);
std::string ReadFile(const std::string& path);
std::string TempPath(const std::string& name);

// A console whose streams the test reads afterwards.
struct Captured {
    std::ostringstream out;
    std::ostringstream err;
    patchtool::Console console{out, err, false};
};

}  // namespace toolfiles

namespace toolfiles {

// Exports the host layer's embedded default scene (the box, the teapot and
// two cameras) as a patch text file, as the plug-in's export command does.
std::string WriteDefaultSceneExport(const std::string& name);

}  // namespace toolfiles
