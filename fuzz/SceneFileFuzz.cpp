// The in-memory host's scene-file (JSON) loader over arbitrary text; a
// scene it accepts is walked, written, and read back. The files a scene
// names are looked up in the scene test data, whose names the seeds use.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "loaders/SceneFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SceneLoad load =
        LoadSceneText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json", GANTLINE_FUZZ_SCENE_FOLDER);
    fuzz::Check(load.root == nullptr || load.error.empty(), "a loaded scene tells no error");
    fuzz::Check(load.root != nullptr || !load.error.empty(), "a failed load tells an error");
    if (!load) return 0;
    PatchIO set;
    fuzz::CollectScene(std::move(load.root), set);
    fuzz::CheckWritesAndReadsBack(set);
    return 0;
}
