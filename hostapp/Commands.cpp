#include "hostapp/Commands.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "hostapp/Discovery.h"
#include "hostapp/ExportSession.h"
#include "hostapp/ExportStatus.h"
#include "hostapp/ExportSummary.h"
#include "hostapp/PluginLibrary.h"
#include "os/Isolate.h"
#include "os/Library.h"
#include "os/Shell.h"
#include "scenes/SceneFiles.h"
#include "scenes/SceneImport.h"
#include "support/Progress.h"

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

// What a load is doing now, written by the load and read by the progress
// line's thread.
class SharedStatus {
public:
    explicit SharedStatus(std::string text) : text_(std::move(text)) {}
    void Set(const std::string& text) {
        const std::lock_guard<std::mutex> lock(mutex_);
        text_ = text;
    }
    std::string Get() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }

private:
    std::mutex mutex_;
    std::string text_;
};

std::unique_ptr<MemoryNode> LoadScene(const std::string& scene, bool progress) {
    const std::string loading = "loading " + (scene.empty() ? "the default scene" : scene);
    auto status = std::make_shared<SharedStatus>(loading);
    std::vector<std::string> warnings;
    SceneLoad load;
    {
        support::Spinner line(stderr, progress, [status] { return status->Get(); });
        if (scene.empty()) return DefaultScene();
        LoadListener listener;
        listener.warn = [&warnings](const std::string& warning) { warnings.push_back(warning); };
        listener.status = [status](const std::string& text) { status->Set(text); };
        load = LoadSceneFile(scene, listener);
    }
    for (const std::string& warning : warnings) Complain("warning: " + warning);
    if (!load) Complain("cannot load the scene " + scene + ": " + load.error);
    return std::move(load.root);
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

int Report(const ExportRun& run, const std::string& path, bool progress) {
    if (!run.pressed) {
        Complain(run.problem);
        return kExitNotWritten;
    }
    if (!run.saveAsked) {
        Complain("the plug-in did not ask for a file name");
        return kExitNotWritten;
    }
    if (!run.Opened(path)) {
        Complain("could not write " + path);
        return kExitNotWritten;
    }
    std::optional<ExportSummary> summary;
    {
        support::Spinner line(stderr, progress, [] { return std::string("reading the written file back"); });
        summary = SummariseFile(path);
    }
    if (summary)
        std::fputs(FormatSummary(*summary, path).c_str(), stdout);
    else
        std::printf("file: %s\n", path.c_str());
    std::fflush(stdout);
    return kExitOk;
}

// Loads the scene and exports it through the plug-in; answers the exit
// status.
int LoadAndExport(const ExportOptions& options, const std::string& path) {
    std::unique_ptr<MemoryNode> scene = LoadScene(options.scene, options.progress);
    if (!scene) return kExitUsage;
    std::optional<PluginLibrary> plugin = LoadPlugin(options.plugin);
    if (!plugin) return kExitUsage;
    const DiscoveryAnswers answers = Discover(plugin->Exports());
    if (!Usable(answers)) return kExitUsage;

    std::error_code error;
    const std::string startFolder = fs::current_path(error).string();
    ExportRun run;
    {
        support::Spinner line(stderr, options.progress, ExportStatus(path));
        run = RunExport(*answers.descriptor, std::move(scene), path, startFolder);
    }
    return Report(run, path, options.progress);
}

}  // namespace

std::string DefaultOutputName(const std::string& scene) {
    if (scene.empty()) return "gantline_scene.txt";
    return fs::path(scene).stem().string() + ".txt";
}

int RunExportCommand(const ExportOptions& options) {
    if (os::kNativeWindowSystem) {
        std::fprintf(stderr,
                     "ferrule-host: export drives the plug-in's panel in the POSIX desktop model; on Windows, "
                     "load Ferrule.dlu into the host application\n");
        return kExitUsage;
    }
    const std::optional<std::string> path = OutputPath(options);
    if (!path) return kExitUsage;
    // Other tools' scenes are read by a library that can fault on a hostile
    // file; the load and the export run apart, so that such a fault is
    // reported as a scene that cannot be loaded. The file an export replaces
    // is replaced only when whole, so a fault leaves it as it was.
    const os::IsolatedRun run = os::RunIsolated([&] { return LoadAndExport(options, *path); });
    if (!run.ended) {
        const std::string scene = options.scene.empty() ? "the default scene" : options.scene;
        Complain("loading or exporting " + scene + " failed: " + run.how);
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
