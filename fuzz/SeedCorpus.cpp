// Builds the seed corpora of the fuzz targets: the writer's own outputs
// (the default scene and a set with every kind of record) and the test
// files of the tree, one folder per target.
//
//   gantline_fuzz_seeds SOURCE_DIR OUT_DIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "fuzz/ImportedSceneCodec.h"
#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace fs = std::filesystem;

namespace {

// The reader's delimiters, as the tokeniser seeds' delimiter header.
const std::string kPatchDelimiters = "\r\t\n {}";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

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

template <typename T>
void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutMesh(std::string& out, const aiMesh& mesh) {
    const unsigned vertices = std::min(mesh.mNumVertices, kCodecMaxVertices);
    Put(out, static_cast<std::uint16_t>(vertices));
    for (unsigned v = 0; v < vertices; ++v) {
        for (const float c : {mesh.mVertices[v].x, mesh.mVertices[v].y, mesh.mVertices[v].z}) Put(out, c);
    }
    const unsigned faces = std::min(mesh.mNumFaces, kCodecMaxFaces);
    Put(out, static_cast<std::uint16_t>(faces));
    for (unsigned f = 0; f < faces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        const unsigned corners = std::min(face.mNumIndices, kCodecMaxCorners);
        Put(out, static_cast<std::uint8_t>(corners));
        for (unsigned k = 0; k < corners; ++k) Put(out, static_cast<std::uint16_t>(face.mIndices[k]));
    }
}

// An importer scene in the fuzz target's byte form (fuzz/ImportedSceneCodec.h):
// nodes breadth first, named by their place, so that cameras and lights
// name their nodes' places.
std::string EncodeScene(const aiScene& scene) {
    std::vector<std::pair<const aiNode*, std::size_t>> nodes{{scene.mRootNode, 0}};
    for (std::size_t i = 0; i < nodes.size() && nodes.size() < kCodecMaxNodes; ++i) {
        for (unsigned c = 0; c < nodes[i].first->mNumChildren && nodes.size() < kCodecMaxNodes; ++c)
            nodes.emplace_back(nodes[i].first->mChildren[c], i);
    }
    auto place = [&](const aiString& name) {
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (nodes[i].first->mName == name) return static_cast<std::uint8_t>(i);
        return std::uint8_t{0};
    };
    std::string out;
    const unsigned meshes = std::min(scene.mNumMeshes, kCodecMaxMeshes);
    Put(out, static_cast<std::uint8_t>(meshes));
    for (unsigned m = 0; m < meshes; ++m) PutMesh(out, *scene.mMeshes[m]);
    Put(out, static_cast<std::uint8_t>(std::min(scene.mNumCameras, 255u)));
    for (unsigned c = 0; c < std::min(scene.mNumCameras, 255u); ++c) {
        const aiCamera& camera = *scene.mCameras[c];
        Put(out, place(camera.mName));
        for (const float v : {camera.mLookAt.x, camera.mLookAt.y, camera.mLookAt.z}) Put(out, v);
    }
    Put(out, static_cast<std::uint8_t>(std::min(scene.mNumLights, 255u)));
    for (unsigned l = 0; l < std::min(scene.mNumLights, 255u); ++l) Put(out, place(scene.mLights[l]->mName));
    Put(out, static_cast<std::uint8_t>(nodes.size()));
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const aiNode& node = *nodes[i].first;
        Put(out, static_cast<std::uint8_t>(i));
        Put(out, static_cast<std::uint8_t>(nodes[i].second));
        const aiMatrix4x4& m = node.mTransformation;
        for (const float v : {m.a1, m.a2, m.a3, m.a4, m.b1, m.b2, m.b3, m.b4, m.c1, m.c2, m.c3, m.c4}) Put(out, v);
        const unsigned count = std::min(node.mNumMeshes, 255u);
        Put(out, static_cast<std::uint8_t>(count));
        for (unsigned k = 0; k < count; ++k) Put(out, static_cast<std::uint8_t>(node.mMeshes[k]));
    }
    return out;
}

// Real files of other tools (Debian's assimp-testmodels, where it is
// installed), read by the importer library and written in the fuzz
// target's byte form.
void AddImportSeeds(const fs::path& folder) {
    const fs::path models = "/usr/share/assimp/models";
    for (const char* file :
         {"glTF2/cameras/Cameras.gltf", "Collada/duck.dae", "Collada/lights.dae", "3DS/TargetCameraAnim.3ds",
          "3DS/CameraRollAnimWithChildObject.3ds", "PLY/cube.ply", "FBX/box.fbx", "STL/triangle_with_two_solids.stl"}) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile((models / file).string(), aiProcess_ValidateDataStructure);
        if (scene && scene->mRootNode) WriteAll(folder / fs::path(file).filename(), EncodeScene(*scene));
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
