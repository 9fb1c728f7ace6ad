#include "hostapp/SceneExport.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>

#include "hostapp/Commands.h"
#include "hostapp/Discovery.h"
#include "hostapp/ExportSession.h"
#include "hostapp/ExportStatus.h"
#include "hostapp/ExportSummary.h"
#include "hostapp/MemorySize.h"
#include "hostapp/PluginLibrary.h"
#include "os/Isolate.h"
#include "loaders/SceneFiles.h"
#include "support/Progress.h"

namespace fs = std::filesystem;

namespace {

std::string SceneName(const std::string& scene) { return scene.empty() ? "the default scene" : scene; }

std::optional<PluginLibrary> LoadPlugin(const std::string& path, const ExportMessages& say) {
    std::string error;
    PluginLibrary plugin = PluginLibrary::Load(path, error);
    if (plugin.Loaded()) return plugin;
    say("cannot load the plug-in " + path + ": " + error);
    return std::nullopt;
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

std::unique_ptr<MemoryNode> LoadScene(const SceneExportJob& job, const ExportMessages& say) {
    if (job.scene.empty()) return DefaultScene();
    auto status = std::make_shared<SharedStatus>("loading " + job.scene);
    std::vector<std::string> warnings;
    SceneLoad load;
    {
        support::Spinner line(stderr, job.progress, [status] { return status->Get(); });
        LoadListener listener;
        listener.warn = [&warnings](const std::string& warning) { warnings.push_back(warning); };
        listener.status = [status](const std::string& text) { status->Set(text); };
        load = LoadSceneFile(job.scene, listener);
    }
    for (const std::string& warning : warnings) say("warning: " + warning);
    if (load) return std::move(load.root);
    // The reader may have caught the failed allocation and answered
    // something else; the limit is what the user can change.
    const std::string why = os::AllocationFailed() ? NeedsMemoryMessage(job.scene, job.memoryLimit) : load.error;
    say("cannot load the scene " + job.scene + ": " + why);
    return nullptr;
}

int Report(const ExportRun& run, const SceneExportJob& job, const ExportMessages& say) {
    const std::string& path = job.output;
    if (!run.pressed) {
        say(run.problem);
        return kExitNotWritten;
    }
    if (!run.saveAsked) {
        say("the plug-in did not ask for a file name");
        return kExitNotWritten;
    }
    if (!run.Opened(path)) {
        if (os::AllocationFailed()) {
            say("cannot export " + SceneName(job.scene) + ": " +
                NeedsMemoryMessage(SceneName(job.scene), job.memoryLimit));
            return kExitUsage;
        }
        say("could not write " + path);
        return kExitNotWritten;
    }
    if (!job.printSummary) return kExitOk;
    std::optional<ExportSummary> summary;
    {
        support::Spinner line(stderr, job.progress, [] { return std::string("reading the written file back"); });
        summary = SummariseFile(path);
    }
    if (summary)
        std::fputs(FormatSummary(*summary, path).c_str(), stdout);
    else
        std::printf("file: %s\n", path.c_str());
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace

std::string NeedsMemoryMessage(const std::string& scene, std::uint64_t limit) {
    return scene + " needs more than " + FormatMemorySize(limit) + " of memory (--max-memory sets the limit)";
}

// What a killed export leaves: its temporary file beside the output
// (".NAME.ferrule-XXXXXXXX.tmp", NAME the output's name or its start).
void RemoveLeftovers(const std::string& output) {
    const fs::path path(output);
    const std::string name = path.filename().string();
    std::error_code error;
    for (fs::directory_iterator entry(path.parent_path(), error), end; !error && entry != end; entry.increment(error)) {
        const std::string file = entry->path().filename().string();
        const std::size_t marker = file.rfind(".ferrule-");
        if (file.size() < 5 || file[0] != '.' || marker == std::string::npos ||
            file.compare(file.size() - 4, 4, ".tmp") != 0)
            continue;
        if (name.rfind(file.substr(1, marker - 1), 0) == 0) fs::remove(entry->path(), error);
    }
}

int LoadAndExport(const SceneExportJob& job, const ExportMessages& say) {
    std::unique_ptr<MemoryNode> scene = LoadScene(job, say);
    if (!scene) return kExitUsage;
    std::optional<PluginLibrary> plugin = LoadPlugin(job.plugin, say);
    if (!plugin) return kExitUsage;
    const DiscoveryAnswers answers = Discover(plugin->Exports());
    const std::vector<std::string> problems = DiscoveryProblems(answers);
    for (const std::string& problem : problems) say(problem);
    if (!problems.empty()) return kExitUsage;

    std::error_code error;
    const std::string startFolder = fs::current_path(error).string();
    ExportRun run;
    {
        support::Spinner line(stderr, job.progress, ExportStatus(job.output));
        run = RunExport(*answers.descriptor, std::move(scene), job.output, startFolder, job.threads);
    }
    return Report(run, job, say);
}
