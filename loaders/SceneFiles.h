// Real scenes for the in-memory host: scene files (JSON), Bezier patch files
// (.bpt), polygon meshes (.obj), the scenes of other tools (glTF, FBX,
// COLLADA, 3DS, PLY, STL and more, through the scene importer where the
// build has one), and the embedded default scene.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "memhost/MemoryHost.h"

struct SceneLoad {
    std::unique_ptr<MemoryNode> root;  // null on failure
    std::string error;                 // "file:line:column: message" style, empty on success
    explicit operator bool() const { return root != nullptr; }
};

// Who hears about a load while it runs. Either may be empty.
struct LoadListener {
    std::function<void(const std::string& warning)> warn;   // "file: what was left out"
    std::function<void(const std::string& status)> status;  // what the load is doing now
};

// Loads a scene by the file's extension: .json (a scene file), .bpt (one
// patch object under a root node), .obj (one convertible mesh under a
// root node), or any extension of ImportedExtensions (the file's own node
// tree; see loaders/SceneImport.h).
SceneLoad LoadSceneFile(const std::string& path, const LoadListener& listener = LoadListener());

// The extensions LoadSceneFile takes, lower case with their dot: the
// loaders' own first, then those of the scene importer.
std::vector<std::string> LoadableExtensions();

// The embedded default scene: the teapot and friends.
std::unique_ptr<MemoryNode> DefaultScene();

// The loaders one at a time, on text already in memory (the contents of a
// file called name, which errors name). They never throw; a failure answers
// an error naming the file and the place.

// A patch mesh read from Bezier patch text (.bpt); see loaders/BptLoader.h.
struct PatchMeshLoad {
    MemoryPatchMesh mesh;
    std::string error;  // empty on success
    bool ok = false;
    explicit operator bool() const { return ok; }
};
PatchMeshLoad LoadBezierPatchText(const std::string& text, const std::string& name);

// An object that converts into a new patch object, read from a Wavefront
// polygon mesh (.obj); see memhost/PolygonMesh.h for the conversion.
struct ObjectLoad {
    std::unique_ptr<MemoryObject> object;  // null on failure
    std::string error;                     // empty on success
    explicit operator bool() const { return object != nullptr; }
};
ObjectLoad LoadPolygonMeshText(const std::string& text, const std::string& name);

// The scene that the text of a scene file (JSON; see loaders/SceneFile.h)
// describes. The files it names are read relative to folder.
SceneLoad LoadSceneText(const std::string& text, const std::string& name, const std::string& folder);
