#include "hostapp/Commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "hostapp/BatchExport.h"
#include "hostapp/BatchInputs.h"
#include "hostapp/Discovery.h"
#include "hostapp/PluginLibrary.h"
#include "hostapp/SceneExport.h"
#include "os/Cores.h"
#include "os/Isolate.h"
#include "os/Library.h"
#include "os/Shell.h"
#include "loaders/SceneFiles.h"
#include "loaders/SceneImport.h"

namespace fs = std::filesystem;

namespace {

// The width the formats command fills its lines to.
constexpr std::size_t kFormatsLineWidth = 78;
// The plug-in's file-name buffer holds this many characters and a null.
constexpr std::size_t kMaxPathLength = 259;

void Complain(const std::string& message) { std::fprintf(stderr, "ferrule-host: %s\n", message.c_str()); }

std::optional<PluginLibrary> LoadPlugin(const std::string& path) {
    std::string error;
    PluginLibrary plugin = PluginLibrary::Load(path, error);
    if (plugin.Loaded()) return plugin;
    Complain("cannot load the plug-in " + path + ": " + error);
    return std::nullopt;
}

bool Usable(const DiscoveryAnswers& answers) {
    const std::vector<std::string> problems = DiscoveryProblems(answers);
    for (const std::string& problem : problems) Complain(problem);
    return problems.empty();
}

std::optional<std::string> OutputPath(const ExportOptions& options) {
    const std::string named = options.output.empty() ? DefaultOutputName(options.scene) : options.output;
    std::error_code error;
    const std::string path = fs::absolute(named, error).string();
    if (error) {
        Complain("cannot place the output " + named + ": " + error.message());
        return std::nullopt;
    }
    if (path.size() > kMaxPathLength) {
        Complain("the output path " + path + " is longer than " + std::to_string(kMaxPathLength) + " characters");
        return std::nullopt;
    }
    return path;
}

}  // namespace

std::uint64_t MemoryLimit(const ExportOptions& options) {
    return options.maxMemory != 0 ? options.maxMemory : os::MachineMemoryBytes() / 2;
}

std::string DefaultOutputName(const std::string& scene) {
    if (scene.empty()) return "gantline_scene.txt";
    return fs::path(scene).stem().string() + ".txt";
}

namespace {

int RunBatch(const ExportOptions& options) {
    if (options.output.empty()) {
        Complain("a batch export (several inputs, or a folder) needs -o FOLDER for its outputs");
        return kExitUsage;
    }
    BatchOptions batch;
    batch.plugin = options.plugin;
    batch.inputs = options.inputs;
    batch.outputFolder = options.output;
    batch.report = options.report;
    batch.jobs = options.jobs != 0 ? options.jobs : os::UsableCores();
    // Unless a limit is given, the jobs share the half of the machine's
    // memory that one export may take, so that together they cannot swap
    // it, and the cores.
    batch.memoryLimit = options.maxMemory;
    batch.sharedMemory = MemoryLimit(options);
    batch.threads = options.threads;
    batch.progress = options.progress;
    return RunBatchExport(batch);
}

}  // namespace

int RunExportCommand(const ExportOptions& given) {
    if (os::kNativeWindowSystem) {
        std::fprintf(stderr,
                     "ferrule-host: export drives the plug-in's panel in the POSIX desktop model; on Windows, "
                     "load Ferrule.dlu into the host application\n");
        return kExitUsage;
    }
    if (IsBatch(given.inputs)) return RunBatch(given);
    ExportOptions options = given;
    if (!options.inputs.empty()) options.scene = options.inputs[0];
    if (!options.report.empty()) {
        Complain("--report is for a batch export (several inputs, or a folder)");
        return kExitUsage;
    }
    const std::optional<std::string> path = OutputPath(options);
    if (!path) return kExitUsage;
    // Other tools' scenes are read by a library that can fault on a hostile
    // file; the load and the export run apart, so that such a fault is
    // reported as a scene that cannot be loaded. The file an export replaces
    // is replaced only when whole, so a fault leaves it as it was.
    SceneExportJob job{options.plugin, options.scene, *path, MemoryLimit(options), options.progress, true,
                       options.threads};
    os::IsolatedRun run;
    {
        os::IsolatedRuns runs(os::IsolateLimits{job.memoryLimit});
        runs.Start(
            [&job](std::string&) { return LoadAndExport(job, [](const std::string& message) { Complain(message); }); });
        std::size_t which = 0;
        if (runs.Wait(which, run) == os::IsolatedRuns::Waited::kInterrupted) {
            // Ctrl-C: the child ends, and what it had half written goes.
            runs.EndAll();
            RemoveLeftovers(*path);
            return kExitInterrupted;
        }
    }
    if (!run.ended) {
        // A crashed or killed export may have left its half-written text.
        RemoveLeftovers(*path);
        const std::string scene = options.scene.empty() ? "the default scene" : options.scene;
        Complain(run.outOfMemory ? "cannot load the scene " + scene + ": " + NeedsMemoryMessage(scene, job.memoryLimit)
                                 : "loading or exporting " + scene + " failed: " + run.how);
        return kExitUsage;
    }
    if (run.result == kExitOk && !options.noOpen) os::OpenInShell(path->c_str());
    return run.result;
}

int RunFormatsCommand() {
    std::string line;
    for (const std::string& extension : LoadableExtensions()) {
        if (line.size() + extension.size() >= kFormatsLineWidth) {
            std::printf("%s\n", line.c_str());
            line.clear();
        }
        line += (line.empty() ? "" : " ") + extension;
    }
    if (!line.empty()) std::printf("%s\n", line.c_str());
    if (!HasSceneImporter()) std::printf("(this build has no importer for other tools' scenes)\n");
    std::fflush(stdout);
    return kExitOk;
}

int RunInfoCommand(const std::string& pluginPath) {
    std::optional<PluginLibrary> plugin = LoadPlugin(pluginPath);
    if (!plugin) return kExitUsage;
    const DiscoveryAnswers answers = Discover(plugin->Exports());
    std::printf("%-16s%s\n%s", "plug-in", pluginPath.c_str(), DescribeDiscovery(answers).c_str());
    std::fflush(stdout);
    return Usable(answers) ? kExitOk : kExitUsage;
}
