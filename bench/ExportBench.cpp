// A whole export of a polygon mesh of a million triangles through the
// in-memory host: CollectScene (the host converts the mesh into a patch
// object, the walker copies it) and Write; beside it the same collection
// written by the plain fprintf writer. Both must write identical bytes.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchSupport.h"
#include "GeneratedScene.h"
#include "ReferenceWriter.h"
#include "TriangleMesh.h"

namespace {

using WriteSet = std::int32_t (*)(const PatchIO& set, const char* path);

std::int32_t WriteOurs(const PatchIO& set, const char* path) { return set.Write(path); }

std::unique_ptr<MemoryNode> TriangleScene() {
    auto root = std::make_unique<MemoryNode>("root");
    std::string error;
    std::unique_ptr<MemoryObject> mesh = benchgen::LoadTriangleMesh(benchgen::ExportTriangles(), error);
    if (mesh)
        root->AddChild("triangles")->SetObject(std::move(mesh));
    else
        std::fprintf(stderr, "the triangle mesh did not load: %s\n", error.c_str());
    return root;
}

// The scene with the triangle mesh, active for the whole program.
void Scene() { static const benchgen::ActiveScene scene(TriangleScene()); }

// One export: collect the scene into a new set and write it.
std::int32_t Export(const std::string& path, WriteSet write, std::int32_t* patches = nullptr) {
    PatchIO set;
    set.CollectScene();
    if (patches) *patches = set.NumPatchObjects() == 1 ? set.PatchObjectAt(0).NumPatches() : 0;
    return write(set, path.c_str());
}

std::string CheckIdenticalBytes() {
    Scene();
    const std::string ours = bench::ScratchFile("export-ours.txt");
    const std::string plain = bench::ScratchFile("export-reference.txt");
    std::int32_t patches = 0;
    if (Export(ours, WriteOurs, &patches) != 1 || Export(plain, reference::Write) != 1) return "an export failed";
    if (patches != benchgen::ExportTriangles()) return "the export did not hold one patch per triangle";
    const std::string difference = bench::CompareFiles(ours, plain);
    return difference.empty() ? difference : "Write and fprintf differ: " + difference;
}

template <WriteSet Writer>
void CollectAndWrite(benchmark::State& state, const char* name) {
    Scene();
    const std::string path = bench::ScratchFile(name);
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(path.c_str());
        state.ResumeTiming();
        if (Export(path, Writer) != 1) state.SkipWithError("the export failed");
    }
    bench::SetThroughput(state, bench::FileBytes(path), benchgen::ExportTriangles());
    state.SetLabel(std::to_string(benchgen::ExportTriangles()) + " triangles");
}

void CollectSceneWrite(benchmark::State& state) { CollectAndWrite<WriteOurs>(state, "export-ours.txt"); }
void CollectSceneWriteReference(benchmark::State& state) {
    CollectAndWrite<reference::Write>(state, "export-reference.txt");
}

BENCHMARK(CollectSceneWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CollectSceneWriteReference)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckIdenticalBytes); }
