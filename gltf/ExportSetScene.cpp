#include "gltf/ExportSetScene.h"

#include <utility>

#include "gltf/CameraPose.h"
#include "gltf/MeshAssembler.h"

namespace gltf {
namespace {

MeshData ObjectMesh(const ExportPatchObject& object, std::int32_t number, int steps, const ExportSetOptions& options,
                    std::vector<surface::SkippedPatch>& skipped) {
    MeshAssembler assembler;
    skipped = surface::TessellateInBatches(
        object, steps, [&assembler](const surface::ObjectMesh& batch) { assembler.Add(batch.mesh); }, options.patchDone,
        options.forEach);
    return assembler.Take("patchobject_" + std::to_string(number));
}

}  // namespace

bool WriteExportSet(const PatchIO& set, std::ostream& out, Container container, int steps, std::string* why) {
    return WriteExportSet(set, out, container, steps, why, ExportSetOptions{}, nullptr);
}

bool WriteExportSet(const PatchIO& set, std::ostream& out, Container container, int steps, std::string* why,
                    const ExportSetOptions& options, ExportSetSummary* summary) {
    if (steps < 1) {
        if (why) *why = "steps must be 1 or more, not " + std::to_string(steps);
        return false;
    }
    ExportSetSummary counts;
    SceneWriter scene(options.generator);
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        counts.skipped.emplace_back();
        MeshData mesh = ObjectMesh(set.PatchObjectAt(i), i, steps, options, counts.skipped.back());
        counts.vertices += mesh.VertexCount();
        counts.triangles += mesh.TriangleCount();
        scene.AddObject(std::move(mesh));
    }
    for (std::int32_t m = 0; m < set.NumCameras(); ++m) {
        if (!CanPose(set.CameraAt(m))) {
            counts.camerasLeftOut.push_back(m);
            continue;
        }
        scene.AddCamera("camera_" + std::to_string(m), PoseCamera(set.CameraAt(m)));
        ++counts.cameras;
    }
    if (summary) *summary = std::move(counts);
    return scene.Write(out, container, why);
}

}  // namespace gltf
