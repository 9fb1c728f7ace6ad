// The scene importer over arbitrary bytes: the first byte picks the kind of
// file, the rest is the file. A scene it accepts is walked, written, and
// read back.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "scenes/SceneImport.h"

namespace {

// The kinds of file fuzzed, by the input's first byte (modulo the count).
// The seeds (SeedCorpus.cpp) use the same list. Left out are the readers of
// the importer library that fail on malformed files by themselves, which is
// not what this target looks for: most (binary glTF, 3DS, OFF, ...)
// allocate whatever count a header declares, 3DS leaks, and PLY reads a
// header cut short forever.
const char* const kKinds[] = {".gltf", ".dae", ".stl"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char* kind = kKinds[data[0] % (sizeof kKinds / sizeof kKinds[0])];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    SceneLoad load = ImportSceneBytes(bytes, kind, "fuzz", LoadListener());
    fuzz::Check(load.root == nullptr || load.error.empty(), "a loaded scene tells no error");
    fuzz::Check(load.root != nullptr || load.error.rfind("fuzz: ", 0) == 0, "a failed load names the file");
    if (!load) return 0;
    PatchIO set;
    fuzz::CollectScene(std::move(load.root), set);
    fuzz::CheckWritesAndReadsBack(set);
    return 0;
}
