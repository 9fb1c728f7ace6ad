#include "GeneratedScene.h"

#include <string>
#include <utility>

#include "ExportSetGenerator.h"

namespace benchgen {

GeneratedScene MakeScene(std::size_t targetBytes, std::uint64_t seed) {
    GeneratedScene scene;
    scene.root = std::make_unique<MemoryNode>("root");
    MemoryNode& root = *scene.root;
    GenerateMeshes(targetBytes, seed, [&scene, &root](MemoryPatchMesh&& mesh) {
        scene.hostBytes += mesh.MemoryBytes();
        MemoryNode* node = root.AddChild("mesh " + std::to_string(root.NumChildren()));
        node->SetObject(MemoryObject::PatchObject(std::move(mesh)));
    });
    for (const ExportCamera& camera : GenerateCameras(seed)) {
        MemoryNode* target = root.AddChild("target");
        target->world = Matrix3::Translation(camera.target);
        MemoryNode* node = root.AddChild("camera");
        node->world = Matrix3::Translation(camera.position);
        node->target = target;
        node->SetObject(MemoryObject::LookAtCamera());
    }
    return scene;
}

ActiveScene::ActiveScene(std::unique_ptr<MemoryNode> root) : previous_(SetCOREInterface(&core_)) {
    core_.SetRoot(std::move(root));
}

ActiveScene::~ActiveScene() { SetCOREInterface(previous_); }

}  // namespace benchgen
