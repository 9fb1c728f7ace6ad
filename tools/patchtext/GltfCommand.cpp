// to-gltf.
#include <cstdio>

#include "gltf/ExportSetScene.h"
#include "patchio/PatchIO.h"
#include "support/Progress.h"
#include "tools/patchtext/Commands.h"
#include "tools/patchtext/Cores.h"
#include "tools/patchtext/SetLoad.h"

namespace patchtool {

int RunToGltf(const GltfCommand& command, Console& console) {
    gltf::Container container = gltf::Container::kBinary;
    if (!gltf::ContainerForPath(command.output, container)) {
        console.err << "patchtext: error: the output's name must end in .glb (binary) or .gltf (JSON), not \""
                    << command.output << "\"\n";
        return kExitUsage;
    }
    PatchIO set;
    std::string versionText;
    const int loaded = LoadSetForOutput(command.file, command.output, set, versionText, console);
    if (loaded != kExitOk) return loaded;

    support::Percentage progress(stderr, console.progress, "tessellating " + command.file, TotalPatches(set));
    gltf::ExportSetOptions options;
    options.generator = "patchtext to-gltf, " + std::to_string(command.steps) + " steps per patch edge";
    options.patchDone = [&progress] { progress.Advance(); };
    options.forEach = EveryCore();
    gltf::ExportSetSummary summary;
    // The scene is written as it is tessellated; the file replaces an
    // earlier one of that name only when all of it was written.
    const int written = WriteOutputFile(command.output, console, [&](std::ostream& out, std::string& why) {
        const bool stated = gltf::WriteExportSet(set, out, container, command.steps, &why, options, &summary);
        progress.Finish();
        for (std::size_t i = 0; i < summary.skipped.size(); ++i)
            ReportSkipped(command.file, static_cast<std::int32_t>(i), summary.skipped[i], console);
        for (const std::int32_t m : summary.camerasLeftOut)
            console.err << command.file << ": warning: camera " << m
                        << " has a coordinate that is not finite and is left out\n";
        return stated;
    });
    if (written != kExitOk) return written;
    console.out << command.output << ": " << set.NumPatchObjects() << " objects, " << summary.vertices << " vertices, "
                << summary.triangles << " triangles, " << summary.cameras << " cameras\n";
    return kExitOk;
}

}  // namespace patchtool
