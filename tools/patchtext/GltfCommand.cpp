// to-gltf.
#include <cstdio>

#include "gltf/CameraPose.h"
#include "gltf/MeshAssembler.h"
#include "gltf/SceneWriter.h"
#include "patchio/PatchIO.h"
#include "support/Progress.h"
#include "tools/patchtext/Commands.h"
#include "tools/patchtext/SetLoad.h"
#include "tools/patchtext/Surface.h"

namespace patchtool {
namespace {

// The mesh of one patch object, its triangles joined from every batch.
gltf::MeshData TessellateForGltf(const std::string& path, const ExportPatchObject& object, std::int32_t number,
                                 int steps, support::Percentage& progress, Console& console) {
    gltf::MeshAssembler assembler;
    TessellateInBatches(path, object, number, steps, progress, console,
                        [&assembler](const ObjectMesh& out) { assembler.Add(out.mesh); });
    return assembler.Take("patchobject_" + std::to_string(number));
}

}  // namespace

int RunToGltf(const GltfCommand& command, Console& console) {
    gltf::Container container = gltf::Container::kBinary;
    if (!gltf::ContainerForPath(command.output, container)) {
        console.err << "patchtext: error: the output's name must end in .glb (binary) or .gltf (JSON), not \""
                    << command.output << "\"\n";
        return kExitUsage;
    }
    PatchIO set;
    std::string versionText;
    const int loaded = LoadSet(command.file, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    if (!OutputIsNotInput(command.file, command.output, console)) return kExitUsage;

    gltf::SceneWriter scene("patchtext to-gltf, " + std::to_string(command.steps) + " steps per patch edge");
    support::Percentage progress(stderr, console.progress, "tessellating " + command.file, TotalPatches(set));
    std::size_t vertices = 0, triangles = 0, cameras = 0;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        gltf::MeshData mesh = TessellateForGltf(command.file, set.PatchObjectAt(i), i, command.steps, progress, console);
        vertices += mesh.VertexCount();
        triangles += mesh.TriangleCount();
        scene.AddObject(std::move(mesh));
    }
    progress.Finish();
    for (std::int32_t i = 0; i < set.NumCameras(); ++i) {
        if (!gltf::CanPose(set.CameraAt(i))) {
            console.err << command.file << ": warning: camera " << i
                        << " has a coordinate that is not finite and is left out\n";
            continue;
        }
        scene.AddCamera("camera_" + std::to_string(i), gltf::PoseCamera(set.CameraAt(i)));
        ++cameras;
    }

    const int written = WriteOutputFile(command.output, console, [&](std::ostream& out, std::string& why) {
        return scene.Write(out, container, &why);
    });
    if (written != kExitOk) return written;
    console.out << command.output << ": " << set.NumPatchObjects() << " objects, " << vertices << " vertices, "
                << triangles << " triangles, " << cameras << " cameras\n";
    return kExitOk;
}

}  // namespace patchtool
