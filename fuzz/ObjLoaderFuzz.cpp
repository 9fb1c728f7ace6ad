// The in-memory host's polygon mesh (.obj) loader over arbitrary text; a
// mesh it accepts is converted to patches by the scene walker, written, and
// read back.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "loaders/SceneFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ObjectLoad load = LoadPolygonMeshText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.obj");
    fuzz::Check(load.object == nullptr || load.error.empty(), "a loaded mesh tells no error");
    fuzz::Check(load.object != nullptr || !load.error.empty(), "a failed load tells an error");
    if (!load) return 0;
    auto root = std::make_unique<MemoryNode>("root");
    root->SetObject(std::move(load.object));
    PatchIO set;
    fuzz::CollectScene(std::move(root), set);
    fuzz::Check(set.NumPatchObjects() == 1, "the converted mesh is exported");
    fuzz::CheckWritesAndReadsBack(set);
    return 0;
}
