// Builds the seed corpora of the fuzz targets: the writer's own outputs
// (the default scene and a set with every kind of record) and the test
// files of the tree, one folder per target.
//
//   gantline_fuzz_seeds SOURCE_DIR OUT_DIR
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"
#include "scenes/SceneFiles.h"

namespace fs = std::filesystem;

namespace {

// The reader's delimiters, as the tokeniser seeds' delimiter header.
const std::string kPatchDelimiters = "\r\t\n {}";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every file under folder whose extension is one of extensions.
std::vector<fs::path> FilesOf(const fs::path& folder, const std::vector<std::string>& extensions) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        for (const auto& extension : extensions)
            if (entry.path().extension() == extension) found.push_back(entry.path());
    }
    return found;
}

void CopyInto(const std::vector<fs::path>& files, const fs::path& folder) {
    for (const auto& file : files) WriteAll(folder / file.filename(), ReadAll(file));
}

// A set with triangles, quadrilaterals, missing indices and cameras.
void FillMixedSet(PatchIO& set) {
    ExportPatchObject object;
    for (int i = 0; i < 4; ++i) object.AddVert({static_cast<float>(i), 0.5f * static_cast<float>(i), -1.25f});
    for (int i = 0; i < 8; ++i) object.AddVec({0.0f, static_cast<float>(i) / 3.0f, 1e-7f});
    ExportPatch quad;
    for (int i = 0; i < 4; ++i) quad.verts[i] = i;
    for (int i = 0; i < 8; ++i) quad.vecs[i] = i;
    ExportPatch triangle;
    triangle.sides = 3;
    triangle.verts[0] = 0;
    triangle.verts[1] = 2;
    triangle.verts[2] = 3;
    triangle.adjacent[0] = 0;
    object.AddPatch(quad);
    object.AddPatch(triangle);
    set.AddPatchObject(object);
    set.AddPatchObject(ExportPatchObject());
    ExportCamera camera;
    camera.position = {80.0f, -120.0f, 60.0f};
    set.AddCamera(camera);
    set.AddCamera(ExportCamera());
}

// The default scene as the plug-in's export writes it.
void WriteDefaultScene(const fs::path& path) {
    MemoryInterface core;
    core.SetRoot(DefaultScene());
    Interface* previous = SetCOREInterface(&core);
    PatchIO set;
    set.CollectScene();
    set.Write(path.string().c_str());
    SetCOREInterface(previous);
}

// Small real files of other tools (Debian's assimp-testmodels, where it is
// installed), each behind the byte that picks its kind in the fuzz target.
void AddImportSeeds(const fs::path& folder) {
    const fs::path models = "/usr/share/assimp/models";
    const struct {
        char kind;  // the file's place in SceneImportFuzz.cpp's kinds
        const char* file;
    } seeds[] = {
        {0, "glTF2/cameras/Cameras.gltf"},
        {0, "glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf"},
        {1, "Collada/cameras.dae"},
        {1, "Collada/lights.dae"},
        {2, "STL/triangle_with_two_solids.stl"},
        {2, "STL/formatDetection"},
    };
    for (const auto& seed : seeds) {
        const fs::path file = models / seed.file;
        if (!fs::exists(file)) continue;
        WriteAll(folder / file.filename(), std::string(1, seed.kind) + ReadAll(file));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gantline_fuzz_seeds SOURCE_DIR OUT_DIR\n");
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path out = argv[2];
    for (const char* target : {"tokeniser", "block_tokeniser", "number_parse", "reader", "roundtrip", "bpt_loader",
                               "obj_loader", "scene_file", "scene_import"})
        fs::create_directories(out / target);

    WriteDefaultScene(out / "reader" / "default_scene.txt");
    PatchIO mixed;
    FillMixedSet(mixed);
    mixed.Write((out / "reader" / "mixed_set.txt").string().c_str());
    CopyInto(FilesOf(source / "tests" / "data" / "golden", {".txt"}), out / "reader");

    // The tokenisers read the same files with the reader's delimiters; the
    // block tokeniser's header also sets a filler and where the file starts.
    const std::string header = std::string(1, static_cast<char>(kPatchDelimiters.size())) + kPatchDelimiters;
    for (const auto& entry : fs::directory_iterator(out / "reader")) {
        const std::string text = ReadAll(entry.path());
        WriteAll(out / "tokeniser" / entry.path().filename(), header + text);
        WriteAll(out / "block_tokeniser" / entry.path().filename(), std::string("\x51\x07") + header + text);
    }

    // Numbers as the writer prints them, and the forms atof also reads.
    for (const char* number : {"1.10", "-0.000000", "340282346638528859811704183484516925440.000000", "0.000001",
                               "  +7x", "0x1.8p3", "1e-320", "inf", "-nan(abc)", "2147483648", "-2147483649"})
        WriteAll(out / "number_parse" / (std::to_string(std::hash<std::string>{}(number)) + ".txt"), number);

    CopyInto(FilesOf(source / "tests" / "data", {".bpt"}), out / "bpt_loader");
    CopyInto(FilesOf(source / "data", {".bpt"}), out / "bpt_loader");
    CopyInto(FilesOf(source / "tests" / "data", {".obj"}), out / "obj_loader");
    CopyInto(FilesOf(source / "data", {".obj"}), out / "obj_loader");
    CopyInto(FilesOf(source / "tests" / "data" / "scene", {".json"}), out / "scene_file");
    AddImportSeeds(out / "scene_import");
    return 0;
}
