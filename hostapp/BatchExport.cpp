#include "hostapp/BatchExport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "hostapp/BatchInputs.h"
#include "hostapp/BatchReport.h"
#include "hostapp/Commands.h"
#include "hostapp/ExportSummary.h"
#include "hostapp/SceneExport.h"
#include "os/Cores.h"
#include "os/Isolate.h"
#include "loaders/SceneFiles.h"
#include "support/OutputFile.h"
#include "support/Progress.h"

namespace fs = std::filesystem;

namespace {

// The plug-in's file-name buffer holds this many characters and a null.
constexpr std::size_t kMaxPathLength = 259;
// The words the export puts before the reason a scene does not load; the
// reason names the file itself.
constexpr const char* kCannotLoad = "cannot load the scene ";

void Complain(const std::string& message) { std::fprintf(stderr, "ferrule-host: %s\n", message.c_str()); }

// The batch's progress and its counts.
class BatchProgress {
public:
    BatchProgress(bool enabled, std::size_t total) : line_(stderr, enabled), total_(total) {}
    void Started(const std::string& input) {
        current_ = input;
        Show();
    }
    void Ended(const BatchRecord& record) {
        ++done_;
        if (record.status != "exported") ++refused_;
        Show();
    }
    void Clear() { line_.Clear(); }

private:
    void Show() {
        if (!line_.Enabled()) return;
        std::string text = std::to_string(done_) + "/" + std::to_string(total_) + " done, " + std::to_string(refused_) +
                           " not exported  " + current_;
        constexpr std::size_t kWidth = 100;  // what fits a usual terminal line
        if (text.size() > kWidth) text = text.substr(0, 40) + "..." + text.substr(text.size() - (kWidth - 43));
        line_.Show(text);
    }

    support::ProgressLine line_;
    std::size_t total_;
    std::size_t done_ = 0, refused_ = 0;
    std::string current_;
};

// The message of a run: the export's own lines, each "cannot load the
// scene X: " dropped where the reason that follows names X again.
std::string Message(const std::string& said, const std::string& input) {
    std::string message = said;
    if (!message.empty() && message.back() == '\n') message.pop_back();
    const std::string prefix = kCannotLoad + input + ": ";
    for (std::size_t at; (at = message.find(prefix)) != std::string::npos;) message.erase(at, prefix.size());
    return message;
}

BatchRecord Finish(const BatchInput& input, const os::IsolatedRun& run, std::uint64_t limit) {
    BatchRecord record;
    record.input = input.input;
    record.output = input.output;
    record.status = "refused";
    record.message = Message(run.said, input.input);
    record.seconds = run.seconds;
    record.peakBytes = run.peakBytes;
    if (!run.ended) {
        // A crashed or killed export may have left its half-written text.
        RemoveLeftovers(input.output);
        record.message = run.outOfMemory ? NeedsMemoryMessage(input.input, limit)
                                         : input.input + ": loading or exporting it failed: " + run.how;
        return record;
    }
    if (run.result == kExitNotWritten) record.status = "failed";
    if (run.result != kExitOk) return record;
    record.status = "exported";
    if (const std::optional<ExportSummary> summary = SummariseFile(input.output)) {
        record.patchObjects = summary->patchObjects;
        record.patches = summary->patches;
        record.cameras = summary->cameras;
    }
    return record;
}

// Why input cannot even start: no such file, an output folder that cannot
// be made, an output path that the plug-in cannot take.
std::string Unstartable(const BatchInput& input) {
    if (!input.problem.empty()) return input.problem;
    if (input.output.size() > kMaxPathLength)
        return "the output path " + input.output + " is longer than " + std::to_string(kMaxPathLength) + " characters";
    std::error_code error;
    fs::create_directories(fs::path(input.output).parent_path(), error);
    if (error)
        return "cannot make the folder " + fs::path(input.output).parent_path().string() + ": " + error.message();
    return std::string();
}

bool WriteReport(const std::string& path, const std::vector<BatchRecord>& records) {
    support::OutputFile file(path);
    if (file.IsOpen()) {
        file.Stream() << ReportJson(records);
        if (file.Commit()) return true;
    }
    Complain("could not write the report " + path + ": " + file.Failure());
    return false;
}

}  // namespace

BatchOptions SharedAmongJobs(const BatchOptions& options, std::size_t inputs) {
    BatchOptions shared = options;
    const std::size_t most = std::max<std::size_t>(1, inputs);
    shared.jobs = static_cast<unsigned>(std::max<std::size_t>(1, std::min<std::size_t>(options.jobs, most)));
    if (shared.threads == 0)
        shared.threads = static_cast<std::int32_t>(std::max(1u, os::UsableCores() / shared.jobs));
    if (shared.memoryLimit == 0) shared.memoryLimit = options.sharedMemory / shared.jobs;
    return shared;
}

namespace {

class Batch {
public:
    Batch(const BatchOptions& options, std::vector<BatchInput> inputs)
        : options_(options),
          inputs_(std::move(inputs)),
          records_(inputs_.size()),
          progress_(options.progress, inputs_.size()) {}

    // Answers false when interrupted.
    bool Run() {
        os::IsolatedRuns runs(os::IsolateLimits{options_.memoryLimit});
        std::vector<std::size_t> inputOfRun;
        std::size_t next = 0;
        while (next < inputs_.size() || runs.Running() > 0) {
            while (runs.Running() < options_.jobs && next < inputs_.size()) StartNext(runs, next++, inputOfRun);
            std::size_t which = 0;
            os::IsolatedRun run;
            const os::IsolatedRuns::Waited waited = runs.Wait(which, run);
            if (waited == os::IsolatedRuns::Waited::kInterrupted) {
                for (const std::size_t ended : runs.EndAll()) RemoveLeftovers(inputs_[inputOfRun[ended]].output);
                return false;
            }
            if (waited == os::IsolatedRuns::Waited::kEnded)
                Ended(inputOfRun[which], Finish(inputs_[inputOfRun[which]], run, options_.memoryLimit));
        }
        return true;
    }

    std::vector<BatchRecord> Finished() const {
        std::vector<BatchRecord> finished;
        for (const BatchRecord& record : records_)
            if (!record.status.empty()) finished.push_back(record);
        return finished;
    }
    void ClearProgress() { progress_.Clear(); }

private:
    void StartNext(os::IsolatedRuns& runs, std::size_t index, std::vector<std::size_t>& inputOfRun) {
        const BatchInput& input = inputs_[index];
        const std::string problem = Unstartable(input);
        if (!problem.empty()) {
            const bool missing = !input.problem.empty();
            Ended(index,
                  BatchRecord{input.input, input.output, missing ? "refused" : "failed", problem, 0, 0, 0, 0, 0});
            return;
        }
        progress_.Started(input.input);
        const SceneExportJob job{options_.plugin, input.input, input.output, options_.memoryLimit,
                                 false,           false,       options_.threads};
        const std::size_t number = runs.Start([job](std::string& said) {
            return LoadAndExport(job, [&said](const std::string& message) { said += message + "\n"; });
        });
        if (inputOfRun.size() <= number) inputOfRun.resize(number + 1);
        inputOfRun[number] = index;
    }

    void Ended(std::size_t index, BatchRecord record) {
        progress_.Ended(record);
        records_[index] = std::move(record);
    }

    const BatchOptions& options_;
    std::vector<BatchInput> inputs_;
    std::vector<BatchRecord> records_;  // status empty until it finished
    BatchProgress progress_;
};

int ExitStatus(const std::vector<BatchRecord>& records) {
    bool refused = false;
    for (const BatchRecord& record : records) {
        if (record.status == "failed") return kExitNotWritten;
        refused = refused || record.status == "refused";
    }
    return refused ? kExitUsage : kExitOk;
}

}  // namespace

int RunBatchExport(const BatchOptions& options) {
    std::error_code error;
    fs::create_directories(options.outputFolder, error);
    if (error || !fs::is_directory(options.outputFolder, error)) {
        Complain("cannot make the output folder " + options.outputFolder + (error ? ": " + error.message() : ""));
        return kExitNotWritten;
    }
    std::vector<BatchInput> inputs = FindBatchInputs(options.inputs, options.outputFolder, LoadableExtensions());
    const std::size_t total = inputs.size();
    const BatchOptions shared = SharedAmongJobs(options, total);
    Batch batch(shared, std::move(inputs));
    const bool whole = batch.Run();
    batch.ClearProgress();
    const std::vector<BatchRecord> records = batch.Finished();
    for (const BatchRecord& record : records)
        if (record.status != "exported" || !record.message.empty())
            std::fprintf(stderr, "%s: %s\n", record.status.c_str(), record.message.c_str());
    std::fputs(BatchSummary(records, total - records.size()).c_str(), stdout);
    std::fflush(stdout);
    const bool reported = options.report.empty() || WriteReport(options.report, records);
    if (!whole) return kExitInterrupted;
    const int status = ExitStatus(records);
    return !reported && status == kExitOk ? kExitNotWritten : status;
}
