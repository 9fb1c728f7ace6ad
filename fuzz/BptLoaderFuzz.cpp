// The in-memory host's Bezier patch (.bpt) loader over arbitrary text; a
// mesh it accepts is exported through the scene walker, written, and read
// back.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "loaders/SceneFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PatchMeshLoad load = LoadBezierPatchText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.bpt");
    fuzz::Check(load.ok == load.error.empty(), "a load fails exactly when it tells an error");
    if (!load) return 0;
    const int patches = load.mesh.PatchCount();
    auto root = std::make_unique<MemoryNode>("root");
    root->SetObject(MemoryObject::PatchObject(std::move(load.mesh)));
    PatchIO set;
    fuzz::CollectScene(std::move(root), set);
    fuzz::Check(set.NumPatchObjects() == 1 && set.PatchObjectAt(0).NumPatches() == patches, "the mesh is exported");
    fuzz::CheckWritesAndReadsBack(set);
    return 0;
}
