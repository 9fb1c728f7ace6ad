// patchtext: checks, describes, converts and previews patch text files.
#include <iostream>

#include <CLI/CLI.hpp>

#include "os/Terminal.h"
#include "patchio/PatchIO.h"
#include "tools/patchtext/Commands.h"
#include "tools/patchtext/ViewCamera.h"

namespace {

using namespace patchtool;

struct Choices {
    CheckCommand check;
    InfoCommand info;
    ObjCommand obj;
    GltfCommand gltf;
    RenderCommand render;
    ViewCommand view;
};

void AddSteps(CLI::App& command, int& steps) {
    command.add_option("--steps", steps, "Tessellation steps per patch edge")
        ->default_val(kDefaultSteps)
        ->check(CLI::Range(1, kMaxSteps));
}

void Describe(CLI::App& app, Choices& c) {
    app.description("Checks, describes, converts and previews patch text files (format version 1.10).");
    app.footer(
        "Exit status: 0 success, 1 the file is bad or a check failed, 2 bad usage or a file that\n"
        "cannot be opened or written. Messages go to standard error as file:line:column: message.");
    app.require_subcommand(1);

    CLI::App* check = app.add_subcommand("check", "Read each file and warn about what a consumer would trip on");
    check->add_option("files", c.check.files, "Patch text files")->required();
    check->add_flag("--strict", c.check.strict, "Fail (exit 1) on warnings too");

    CLI::App* info = app.add_subcommand("info", "Counts, open edges and bounding box per patch object; the cameras");
    info->add_option("file", c.info.file, "Patch text file")->required();
    info->add_flag("--json", c.info.json, "Print JSON for scripts");

    CLI::App* obj = app.add_subcommand("to-obj", "Tessellate every patch into a Wavefront OBJ");
    obj->add_option("file", c.obj.file, "Patch text file")->required();
    obj->add_option("-o,--output", c.obj.output, "The OBJ file to write")->required();
    AddSteps(*obj, c.obj.steps);

    CLI::App* gltf =
        app.add_subcommand("to-gltf", "Tessellate every patch into a glTF 2.0 scene with the file's cameras (+y up)");
    gltf->add_option("file", c.gltf.file, "Patch text file")->required();
    gltf->add_option("-o,--output", c.gltf.output, "The file to write: OUT.glb (binary) or OUT.gltf (JSON)")
        ->required();
    AddSteps(*gltf, c.gltf.steps);

    CLI::App* render = app.add_subcommand("render", "Draw the surfaces into a PNG (" +
                                                        std::to_string(static_cast<int>(kFieldOfViewDegrees)) +
                                                        " degree horizontal field of view)");
    render->add_option("file", c.render.file, "Patch text file")->required();
    render->add_option("-o,--output", c.render.output, "The PNG file to write")->required();
    render->add_option("--camera", c.render.camera,
                       "Camera number of the file, or auto for a three-quarter view (default: camera 0 if "
                       "the file has cameras, else auto)");
    render->add_option("--size", c.render.size, "Picture size WIDTHxHEIGHT")->default_val("800x600");
    render->add_flag("--wire", c.render.wire, "Draw the patch edges too");
    render->add_flag("--spread", c.render.spread,
                     "Place the patch objects side by side (the file keeps each in its own space), "
                     "seen from the three-quarter view");
    AddSteps(*render, c.render.steps);

    CLI::App* view = app.add_subcommand(
        "view",
        "Write one self-contained web page that shows the file: surfaces, patch borders, open edges, "
        "control net and cameras (and open it)");
    view->add_option("file", c.view.file, "Patch text file")->required();
    view->add_option("-o,--output", c.view.output, "The HTML file to write (default: the file's name with .html)");
    view->add_flag("--no-open", c.view.noOpen, "Do not ask the desktop to open the page");
    AddSteps(*view, c.view.steps);
}

int Run(CLI::App& app, Choices& c) {
    Console console{std::cout, std::cerr, os::IsTerminal(stderr)};
    if (app.got_subcommand("check")) return RunCheck(c.check, console);
    if (app.got_subcommand("info")) return RunInfo(c.info, console);
    if (app.got_subcommand("to-obj")) return RunToObj(c.obj, console);
    if (app.got_subcommand("to-gltf")) return RunToGltf(c.gltf, console);
    if (app.got_subcommand("view")) return RunView(c.view, console);
    return RunRender(c.render, console);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("patchtext", "patchtext");
    // Before the commands, which take the setting that lets it follow them.
    app.fallthrough();
    std::int32_t threads = 0;
    app.add_option("--threads", threads, "Threads that read, write and tessellate a large file at most (0: every core)")
        ->default_val(0)
        ->check(CLI::Range(0, 4096));
    Choices choices;
    Describe(app, choices);
    try {
        app.parse(argc, argv);
        PatchIO::SetDefaultThreads(threads);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }
    return Run(app, choices);
}
