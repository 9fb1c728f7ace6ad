// The host program's commands. Each answers the program's exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Exit codes of the host program.
constexpr int kExitOk = 0;
constexpr int kExitNotWritten = 1;     // the export did not write its file
constexpr int kExitUsage = 2;          // bad usage, or a scene or plug-in that cannot be loaded
constexpr int kExitInterrupted = 130;  // Ctrl-C: 128 and SIGINT's number, as a shell reports it

struct ExportOptions {
    std::string plugin;
    std::vector<std::string> inputs;  // scene files and folders; several, or a folder: a batch export
    std::string scene;                // of a single export; empty: the embedded default scene
    std::string output;               // empty: a name in the current folder
    bool noOpen = false;
    bool progress = false;        // show progress while exporting
    std::uint64_t maxMemory = 0;  // what a scene's load and export may take; 0: half the machine's memory
    unsigned jobs = 0;            // a batch's exports at once; 0: one per core
    std::string report;           // a batch's JSON report; empty: none
    std::int32_t threads = 0;     // an export's threads at most; 0: every core (a batch: its share)
};

// The memory an export's child may take.
std::uint64_t MemoryLimit(const ExportOptions& options);

int RunExportCommand(const ExportOptions& options);
int RunInfoCommand(const std::string& plugin);
// Lists the extensions of the scene files that export loads.
int RunFormatsCommand();

// The file the export writes when no output is named: the scene file's
// name with .txt, or gantline_scene.txt for the default scene.
std::string DefaultOutputName(const std::string& scene);
