// ferrule-host: a command-line host for the Ferrule utility plug-in. It
// loads the plug-in by path, discovers it through its exports, and drives
// its panel as the host application does.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <optional>

#include "gantline/Version.h"

#include "host/UtilityParams.h"
#include "hostapp/Commands.h"
#include "hostapp/MemorySize.h"
#include "hostapp/PluginLibrary.h"
#include "os/Terminal.h"

namespace {

void AddExport(CLI::App& app, ExportOptions& options) {
    CLI::App* command = app.add_subcommand("export", "Export a scene through the plug-in's panel");
    command
        ->add_option("SCENE", options.inputs,
                     "Scene file (.json), Bezier patch file (.bpt), polygon mesh (.obj) or another "
                     "tool's scene (glTF, FBX, COLLADA, 3DS, PLY, STL, ...: see formats); "
                     "the embedded default scene when none is named. Several files, or folders "
                     "(searched for every extension that formats lists), make a batch export")
        ->type_name("");
    command
        ->add_option("-o,--output", options.output,
                     "File to write (at most 259 characters as an absolute path); default: the scene's "
                     "name with .txt in the current folder, gantline_scene.txt for the default scene. "
                     "In a batch, the folder to write to (made if missing): each input X becomes "
                     "<folder>/<X's path below its folder argument>.txt")
        ->type_name("FILE|FOLDER");
    command
        ->add_option("-j,--jobs", options.jobs,
                     "A batch's exports at once, each in a process of its own; "
                     "default: the number of cores")
        ->type_name("N")
        ->check(CLI::Range(1u, 1024u));
    command
        ->add_option("--report", options.report,
                     "A batch's report: a JSON array, one record per input in input order (input, output, "
                     "status exported|refused|failed, message, patchObjects, patches, cameras, seconds, "
                     "peakBytes)")
        ->type_name("FILE.json");
    command->add_flag("--no-open", options.noOpen, "Do not ask the desktop to open the written file");
    command
        ->add_option("--threads", options.threads,
                     "Threads that the plug-in writes a large file with at most; 1: the calling thread "
                     "alone; default: every core, in a batch the cores divided among the jobs")
        ->type_name("N")
        ->check(CLI::Range(1, utilityparams::kMostThreads));
    command
        ->add_option_function<std::string>(
            "--max-memory",
            [&options](const std::string& text) {
                const std::optional<std::uint64_t> bytes = ParseMemorySize(text);
                if (!bytes)
                    throw CLI::ValidationError("--max-memory",
                                               "expected a size such as 512M or 12G, found \"" + text + "\"");
                options.maxMemory = *bytes;
            },
            "The most memory a scene's load and export may take (512M, 12G, ...); a scene that needs more is "
            "refused; default: half the machine's memory, shared by a batch's jobs")
        ->type_name("SIZE");
    command->footer(
        "Exit status: 0 written, 1 the file could not be written, 2 bad usage or a scene or "
        "plug-in that cannot be loaded. A batch: 0 all exported, 1 an output could not be written, "
        "else 2 an input was refused; 130 interrupted.\n");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Runs the Ferrule utility plug-in the way its host application does.", "ferrule-host");
    std::string plugin = DefaultPluginPath();
    app.add_option("--plugin", plugin, "Plug-in library to load")->type_name("PATH")->capture_default_str();
    app.set_version_flag("--version", "ferrule-host " GANTLINE_DISPLAY_VERSION);
    app.require_subcommand(1);
    app.fallthrough();

    ExportOptions options;
    AddExport(app, options);
    CLI::App* info = app.add_subcommand("info", "Print what the plug-in answers to the host's discovery calls");
    info->footer("Exit status: 0 usable, 2 a plug-in that cannot be loaded or used as a utility.\n");

    CLI::App* formats = app.add_subcommand("formats", "List the extensions of the scene files that export loads");
    formats->footer("Exit status: 0.\n");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? kExitOk : kExitUsage;
    }

    if (*info) return RunInfoCommand(plugin);
    if (*formats) return RunFormatsCommand();
    options.plugin = plugin;
    options.progress = os::IsTerminal(stderr);
    return RunExportCommand(options);
}
