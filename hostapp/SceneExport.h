// One scene's export as the export command runs it inside its child
// process: load the scene, load the plug-in, drive its panel, read the
// written file back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct SceneExportJob {
    std::string plugin;
    std::string scene;              // empty: the embedded default scene
    std::string output;             // absolute
    std::uint64_t memoryLimit = 0;  // what the child may take, for the message when it runs out
    bool progress = false;
    bool printSummary = true;  // the five summary lines on standard output
    std::int32_t threads = 0;  // the plug-in's threads at most; 0: every core
};

// Where the export's messages go: "cannot load the scene ..." and
// "warning: ..." without the program's name.
using ExportMessages = std::function<void(const std::string& message)>;

// Answers the exit status: kExitOk, kExitNotWritten or kExitUsage.
int LoadAndExport(const SceneExportJob& job, const ExportMessages& say);

// Removes what an export killed midway leaves beside output: its
// temporary file (".NAME.ferrule-XXXXXXXX.tmp", NAME the output's name or
// its start).
void RemoveLeftovers(const std::string& output);

// The refusal of a scene that needs more memory than limit.
std::string NeedsMemoryMessage(const std::string& scene, std::uint64_t limit);
