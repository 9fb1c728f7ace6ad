// to-obj and render.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "patchio/PatchIO.h"
#include "support/OutputFile.h"
#include "support/Progress.h"
#include "tools/patchtext/Commands.h"
#include "tools/patchtext/Cores.h"
#include "tools/patchtext/ObjWriter.h"
#include "tools/patchtext/SceneRender.h"
#include "tools/patchtext/SetLoad.h"
#include "tools/patchtext/Surface.h"

namespace patchtool {
namespace {

// Largest picture side accepted, which keeps the buffers below a gigabyte.
constexpr int kMaxSide = 8192;
// Patches without a surface reported per object before a summary line.
constexpr std::size_t kSkippedShown = 10;

bool ParseNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

// The camera that render uses: -1 for the three-quarter view. Answers false
// when choice names no camera of the set.
bool ChooseCamera(const std::string& choice, const PatchIO& set, std::int32_t& camera) {
    if (choice.empty()) {
        camera = set.NumCameras() > 0 ? 0 : -1;
        return true;
    }
    if (choice == "auto") {
        camera = -1;
        return true;
    }
    int number = -1;
    if (!ParseNumber(choice, number) || number < 0 || number >= set.NumCameras()) return false;
    camera = number;
    return true;
}

}  // namespace

std::int64_t TotalPatches(const PatchIO& set) {
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) total += set.PatchObjectAt(i).NumPatches();
    return total;
}

void TessellateInBatches(const std::string& path, const ExportPatchObject& object, std::int32_t number, int steps,
                         support::Percentage& progress, Console& console,
                         const std::function<void(const ObjectMesh&)>& take) {
    const std::vector<SkippedPatch> skipped = surface::TessellateInBatches(
        object, steps, take, [&progress] { progress.Advance(); }, EveryCore());
    ReportSkipped(path, number, skipped, console);
}

void ReportSkipped(const std::string& path, std::int32_t object, const std::vector<SkippedPatch>& skipped,
                   Console& console) {
    for (std::size_t s = 0; s < skipped.size() && s < kSkippedShown; ++s) {
        console.err << path << ": warning: patch object " << object << ", patch " << skipped[s].patch
                    << " has no surface and is left out: " << skipped[s].reason << '\n';
    }
    if (skipped.size() > kSkippedShown)
        console.err << path << ": note: " << skipped.size() - kSkippedShown << " more patches of patch object "
                    << object << " left out\n";
}

int LoadSetForOutput(const std::string& input, const std::string& output, PatchIO& set, std::string& versionText,
                     Console& console) {
    const int loaded = LoadSet(input, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    std::error_code failed;
    if (!std::filesystem::equivalent(input, output, failed) || failed) return kExitOk;
    console.err << output
                << ": error: this is the file being read, and writing it would destroy it; "
                   "name another output\n";
    return kExitUsage;
}

int WriteOutputFile(const std::string& path, Console& console,
                    const std::function<bool(std::ostream&, std::string&)>& write) {
    support::OutputFile file(path);
    if (!file.IsOpen()) {
        console.err << path << ": error: cannot write the file: " << file.Failure() << '\n';
        return kExitUsage;
    }
    std::string why;
    if (!write(file.Stream(), why)) {
        console.err << path << ": error: " << why << '\n';
        return kExitUsage;
    }
    if (!file.Commit()) {
        console.err << path << ": error: writing the file failed: " << file.Failure() << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int w = 0, h = 0;
    if (!ParseNumber(text.substr(0, x), w) || !ParseNumber(text.substr(x + 1), h)) return false;
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return false;
    width = w;
    height = h;
    return true;
}

int RunToObj(const ObjCommand& command, Console& console) {
    PatchIO set;
    std::string versionText;
    const int loaded = LoadSetForOutput(command.file, command.output, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    std::int64_t vertices = 0, triangles = 0;
    const int written = WriteOutputFile(command.output, console, [&](std::ostream& out, std::string&) {
        ObjWriter writer(out);
        writer.Comment("patchtext to-obj " + command.file + ", " + std::to_string(command.steps) +
                       " steps per patch edge");
        support::Percentage progress(stderr, console.progress, "tessellating " + command.file, TotalPatches(set));
        for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
            writer.BeginObject("patchobject_" + std::to_string(i));
            TessellateInBatches(command.file, set.PatchObjectAt(i), i, command.steps, progress, console,
                                [&](const ObjectMesh& batch) {
                                    writer.Batch(batch.mesh);
                                    vertices += static_cast<std::int64_t>(batch.mesh.positions.size());
                                    triangles += static_cast<std::int64_t>(batch.mesh.triangles.size());
                                });
        }
        progress.Finish();
        return true;
    });
    if (written != kExitOk) return written;
    console.out << command.output << ": " << set.NumPatchObjects() << " objects, " << vertices << " vertices, "
                << triangles << " triangles\n";
    return kExitOk;
}

int RunRender(const RenderCommand& command, Console& console) {
    RenderOptions options;
    if (!ParseSize(command.size, options.width, options.height)) {
        console.err << "patchtext: error: --size wants WIDTHxHEIGHT from 1x1 to 8192x8192, not \"" << command.size
                    << "\"\n";
        return kExitUsage;
    }
    PatchIO set;
    std::string versionText;
    const int loaded = LoadSetForOutput(command.file, command.output, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    if (command.spread && !command.camera.empty() && command.camera != "auto") {
        console.err << "patchtext: error: --spread moves the objects away from where the cameras look; "
                       "it draws the three-quarter view, so leave out --camera\n";
        return kExitUsage;
    }
    if (!ChooseCamera(command.spread ? "auto" : command.camera, set, options.camera)) {
        console.err << command.file << ": error: no camera \"" << command.camera << "\": the file has "
                    << set.NumCameras() << " (numbered from 0), or use --camera auto\n";
        return kExitUsage;
    }
    options.wire = command.wire;
    options.spread = command.spread;
    options.steps = command.steps;
    support::Percentage progress(stderr, console.progress, "rendering " + command.file, TotalPatches(set));
    const RenderResult result = RenderSet(set, options, &progress);
    progress.Finish();
    std::string why;
    if (!WritePng(command.output, result.image, &why)) {
        console.err << command.output << ": error: cannot write the picture: " << why << '\n';
        return kExitUsage;
    }
    if (result.skippedPatches > 0)
        console.err << command.file << ": warning: " << result.skippedPatches
                    << " patches have no surface and are left out (see patchtext check)\n";
    const std::string view = options.camera < 0 ? "three-quarter view" : "camera " + std::to_string(options.camera);
    console.out << command.output << ": " << options.width << "x" << options.height << ", " << view << ", "
                << static_cast<int>(result.coverage * 100.0 + 0.5) << "% covered\n";
    return kExitOk;
}

}  // namespace patchtool
