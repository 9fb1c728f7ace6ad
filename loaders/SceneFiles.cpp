// The entry points of scene loading. Each catches whatever the readers
// throw (the JSON reader reports malformed documents by exceptions; any
// reader can run out of memory), so nothing escapes the loaders.
#include "loaders/SceneFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>

#include "host/HostApi.h"
#include "loaders/BptLoader.h"
#include "loaders/EmbeddedFiles.h"
#include "loaders/LoadGuard.h"
#include "loaders/ObjLoader.h"
#include "loaders/SceneFile.h"
#include "loaders/SceneImport.h"
#include "text/AsciiCase.h"

namespace {

// Source-file name of this module in assertion reports.
constexpr const char* kSource = "SceneFiles";
// Name of the built-in scene file among the embedded files.
constexpr const char* kDefaultSceneFile = "default_scene.json";
// Scene files are small; a larger one is refused rather than read.
constexpr std::uintmax_t kMaxSceneFileBytes = 256u * 1024u * 1024u;

std::string LowerExtension(const std::filesystem::path& path) { return LowerAscii(path.extension().string()); }

// A scene of one object under a root node, on a node named after the file.
SceneLoad SingleObjectScene(const std::filesystem::path& path, std::unique_ptr<MemoryObject> object) {
    auto root = std::make_unique<MemoryNode>("Scene Root");
    root->AddChild(path.stem().string())->SetObject(std::move(object));
    return {std::move(root), std::string()};
}

SceneLoad LoadPatchFile(const std::filesystem::path& path, std::istream& in) {
    std::vector<ControlNet> nets;
    std::string error;
    if (!ReadBezierPatches(in, path.generic_string(), nets, error)) return {nullptr, error};
    return SingleObjectScene(path, MemoryObject::PatchObject(BuildBezierMesh(nets)));
}

SceneLoad LoadPolygonFile(const std::filesystem::path& path, std::istream& in, const LoadListener& listener) {
    PolygonMesh mesh;
    std::string error;
    if (!ReadPolygonMesh(in, path.generic_string(), mesh, error, listener.warn)) return {nullptr, error};
    return SingleObjectScene(path, ConvertibleMesh(std::make_shared<const PolygonMesh>(std::move(mesh))));
}

SceneLoad LoadJsonFile(const std::filesystem::path& path, std::istream& in) {
    std::error_code unknownSize;
    const std::uintmax_t size = std::filesystem::file_size(path, unknownSize);
    if (!unknownSize && size > kMaxSceneFileBytes) {
        return {nullptr, path.generic_string() + ": the scene file is too large"};
    }
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return ReadScene(text, path.generic_string(), DiskOpener(path.parent_path().string()));
}

bool Imported(const std::string& extension) {
    const std::vector<std::string> imported = ImporterExtensions();
    return std::binary_search(imported.begin(), imported.end(), extension);
}

SceneLoad LoadAnyFile(const std::string& pathText, const LoadListener& listener) {
    const std::filesystem::path path(pathText);
    const std::string extension = LowerExtension(path);
    const bool own = extension == ".json" || extension == ".bpt" || extension == ".obj";
    if (!own && !Imported(extension)) {
        return {nullptr, pathText + ": unknown kind of scene file (" +
                             (HasSceneImporter() ? "see ferrule-host formats" : "expected .json, .bpt or .obj") + ")"};
    }
    std::error_code ignored;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ignored)) in.open(path, std::ios::binary);
    if (!in.is_open()) return {nullptr, pathText + ": cannot open the file"};
    if (!own) {
        in.close();
        return ImportSceneFile(pathText, listener);
    }
    if (extension == ".bpt") return LoadPatchFile(path, in);
    if (extension == ".obj") return LoadPolygonFile(path, in, listener);
    return LoadJsonFile(path, in);
}

// Opens the files that the built-in scene names, from the built-in files.
OpenedFile OpenEmbedded(const std::string& path) {
    OpenedFile file;
    file.name = "built-in " + path;
    std::string_view text;
    if (FindEmbeddedFile(path, text)) file.stream = std::make_unique<std::istringstream>(std::string(text));
    return file;
}

}  // namespace

SceneLoad LoadSceneFile(const std::string& path, const LoadListener& listener) {
    return GuardedLoad<SceneLoad>(path, [&] { return LoadAnyFile(path, listener); });
}

std::vector<std::string> LoadableExtensions() {
    std::vector<std::string> extensions{".json", ".bpt", ".obj"};
    const std::vector<std::string> imported = ImporterExtensions();
    extensions.insert(extensions.end(), imported.begin(), imported.end());
    return extensions;
}

std::unique_ptr<MemoryNode> DefaultScene() {
    SceneLoad load = GuardedLoad<SceneLoad>(kDefaultSceneFile, [] {
        std::string_view text;
        if (!FindEmbeddedFile(kDefaultSceneFile, text)) return SceneLoad{nullptr, "the default scene is missing"};
        return ReadScene(std::string(text), std::string("built-in ") + kDefaultSceneFile, OpenEmbedded);
    });
    if (load) return std::move(load.root);
    // The built-in scene is part of the library and loads in every build;
    // should it not, the host still gets a root node.
    assert1(__LINE__, kSource);
    return std::make_unique<MemoryNode>("Scene Root");
}

PatchMeshLoad LoadBezierPatchText(const std::string& text, const std::string& name) {
    return GuardedLoad<PatchMeshLoad>(name, [&] {
        PatchMeshLoad load;
        std::istringstream in(text);
        std::vector<ControlNet> nets;
        load.ok = ReadBezierPatches(in, name, nets, load.error);
        if (load.ok) load.mesh = BuildBezierMesh(nets);
        return load;
    });
}

ObjectLoad LoadPolygonMeshText(const std::string& text, const std::string& name) {
    return GuardedLoad<ObjectLoad>(name, [&] {
        ObjectLoad load;
        std::istringstream in(text);
        PolygonMesh mesh;
        if (ReadPolygonMesh(in, name, mesh, load.error))
            load.object = ConvertibleMesh(std::make_shared<const PolygonMesh>(std::move(mesh)));
        return load;
    });
}

SceneLoad LoadSceneText(const std::string& text, const std::string& name, const std::string& folder) {
    return GuardedLoad<SceneLoad>(name, [&] { return ReadScene(text, name, DiskOpener(folder)); });
}
