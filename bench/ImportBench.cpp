// Importing other tools' scenes: the importer's own read of a file (assimp,
// with the same validation) against our whole import (that read, then the
// host scene with welded meshes), and an import followed by the export, on
// the largest test models and on a generated binary STL of a million
// triangles (fewer in the tiny test runs).
#include <benchmark/benchmark.h>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "BenchSupport.h"
#include "GeneratedScene.h"
#include "TriangleMesh.h"
#include "loaders/SceneFiles.h"

namespace {

// The largest scenes of Debian's assimp-testmodels: a glTF engine of 121,496
// triangles on 82 nodes, and the largest COLLADA file.
const char* const kModels[] = {"/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb",
                               "/usr/share/assimp/models/Collada/COLLADA.dae"};
// Triangles per row of the generated mesh.
constexpr std::int64_t kRowQuads = 500;

void PutFloat(std::ofstream& out, double value) {
    const float f = static_cast<float>(value);
    char bytes[4];
    std::memcpy(bytes, &f, sizeof bytes);
    out.write(bytes, sizeof bytes);
}

// A bent grid of about triangles triangles as binary STL: every triangle
// repeats its corners, so that the import welds three million positions.
std::string GeneratedStl() {
    static const std::string path = [] {
        const std::string file = bench::ScratchFile("generated.stl");
        const std::int64_t rows = std::max<std::int64_t>(1, benchgen::ExportTriangles() / (2 * kRowQuads));
        std::ofstream out(file, std::ios::binary);
        out << std::string(80, ' ');
        const auto count = static_cast<std::uint32_t>(2 * kRowQuads * rows);
        out.write(reinterpret_cast<const char*>(&count), sizeof count);
        auto corner = [&](std::int64_t i, std::int64_t j) {
            const double x = static_cast<double>(i) * 0.01, y = static_cast<double>(j) * 0.01;
            PutFloat(out, x);
            PutFloat(out, y);
            PutFloat(out, 0.3 * std::sin(x) * std::cos(y));
        };
        for (std::int64_t j = 0; j < rows; ++j) {
            for (std::int64_t i = 0; i < kRowQuads; ++i) {
                for (const int half : {0, 1}) {
                    for (int k = 0; k < 3; ++k) PutFloat(out, 0.0);  // the normal, unused
                    if (half == 0) {
                        corner(i, j);
                        corner(i + 1, j);
                        corner(i + 1, j + 1);
                    } else {
                        corner(i, j);
                        corner(i + 1, j + 1);
                        corner(i, j + 1);
                    }
                    out.write("\0\0", 2);
                }
            }
        }
        return file;
    }();
    return path;
}

std::string Check() {
    for (const char* model : kModels) {
        if (!std::filesystem::exists(model)) continue;
        const SceneLoad load = LoadSceneFile(model);
        if (!load) return load.error;
    }
    const SceneLoad generated = LoadSceneFile(GeneratedStl());
    return generated ? std::string() : generated.error;
}

void Label(benchmark::State& state, const std::string& path) {
    const std::size_t bytes = bench::FileBytes(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
    state.SetLabel(std::filesystem::path(path).filename().string());
}

void AssimpRead(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        Assimp::Importer importer;
        if (!importer.ReadFile(path, aiProcess_ValidateDataStructure)) state.SkipWithError("assimp refuses it");
    }
    Label(state, path);
}

void Import(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        SceneLoad load = LoadSceneFile(path);
        if (!load) state.SkipWithError(load.error.c_str());
        benchmark::DoNotOptimize(load.root.get());
    }
    Label(state, path);
}

void ImportAndExport(benchmark::State& state, const std::string& path) {
    const std::string out = bench::ScratchFile("imported.txt");
    for (auto _ : state) {
        SceneLoad load = LoadSceneFile(path);
        if (!load) state.SkipWithError(load.error.c_str());
        const benchgen::ActiveScene scene(std::move(load.root));
        PatchIO set;
        set.CollectScene();
        if (set.Write(out.c_str()) != 1) state.SkipWithError("the export failed");
    }
    Label(state, path);
}

void Register() {
    std::vector<std::string> files;
    for (const char* model : kModels)
        if (std::filesystem::exists(model)) files.push_back(model);
    files.push_back(GeneratedStl());
    for (const std::string& file : files) {
        const std::string name = std::filesystem::path(file).filename().string();
        benchmark::RegisterBenchmark(("AssimpReadFile/" + name).c_str(), AssimpRead, file)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Import/" + name).c_str(), Import, file)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ImportAndExport/" + name).c_str(), ImportAndExport, file)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    return bench::Main(argc, argv, Check);
}
