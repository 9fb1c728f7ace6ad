// The commands of patchtext, apart from the command line that selects
// them, so that tests run them on files and read what they print.
//
// Exit codes: 0 success; 1 the file is bad (it does not read, or a strict
// check found warnings); 2 bad usage, or a file that cannot be opened or
// written. Messages go to the error stream as "file:line:column: message".
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/Progress.h"
#include "surface/Tessellator.h"

namespace patchtool {

enum ExitCode { kExitOk = 0, kExitBadFile = 1, kExitUsage = 2 };

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool progress = false;  // progress lines on the standard error stream
};

// Tessellation steps per patch edge: the default and the largest accepted.
constexpr int kDefaultSteps = 8;
constexpr int kMaxSteps = 128;

struct CheckCommand {
    std::vector<std::string> files;
    bool strict = false;
};

struct InfoCommand {
    std::string file;
    bool json = false;
};

struct ObjCommand {
    std::string file;
    std::string output;
    int steps = kDefaultSteps;
};

struct GltfCommand {
    std::string file;
    std::string output;  // .glb or .gltf
    int steps = kDefaultSteps;
};

struct RenderCommand {
    std::string file;
    std::string output;
    std::string camera;  // a camera number, "auto", or empty: the first camera if any
    std::string size = "800x600";
    bool wire = false;
    bool spread = false;  // objects side by side, from the three-quarter view
    int steps = kDefaultSteps;
};

struct ViewCommand {
    std::string file;
    std::string output;  // empty: the file's name with .html
    int steps = kDefaultSteps;
    bool noOpen = false;
    // Larger pages are refused: browsers take long to open them, or fail.
    std::int64_t maxPageBytes = std::int64_t{200} << 20;
};

int RunCheck(const CheckCommand& command, Console& console);
int RunInfo(const InfoCommand& command, Console& console);
int RunToObj(const ObjCommand& command, Console& console);
int RunToGltf(const GltfCommand& command, Console& console);
int RunRender(const RenderCommand& command, Console& console);
int RunView(const ViewCommand& command, Console& console);

// The page that view writes when no output is named: the file's name with
// .html in place of its extension (never the file itself).
std::string DefaultPagePath(const std::string& file);

// For the commands that write what they read in another form: loads input
// into set as LoadSet does, and refuses (kExitUsage, having said why) an
// output that names the input file itself, under any name, which writing
// would destroy. Answers kExitOk or the exit status.
int LoadSetForOutput(const std::string& input, const std::string& output, PatchIO& set, std::string& versionText,
                     Console& console);

// Writes an output file through write, which answers false with why on a
// failure; the file replaces an earlier one of that name only when all of
// it was written. Prints what failed and answers kExitUsage, or kExitOk.
int WriteOutputFile(const std::string& path, Console& console,
                    const std::function<bool(std::ostream&, std::string&)>& write);

// For the converting commands: the patches of every object, and a warning
// for patches left out for want of a surface (the first few, then a count).
std::int64_t TotalPatches(const PatchIO& set);
void ReportSkipped(const std::string& path, std::int32_t object, const std::vector<surface::SkippedPatch>& skipped,
                   Console& console);
// Tessellates object number of the file at path in batches of patches,
// handing each batch to take and advancing progress by a patch at a time;
// reports the patches left out at the end.
void TessellateInBatches(const std::string& path, const ExportPatchObject& object, std::int32_t number, int steps,
                         support::Percentage& progress, Console& console,
                         const std::function<void(const surface::ObjectMesh&)>& take);

// "WIDTHxHEIGHT" with each side from 1 to 8192.
bool ParseSize(const std::string& text, int& width, int& height);

}  // namespace patchtool
