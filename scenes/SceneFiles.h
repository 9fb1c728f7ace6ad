// Real scenes for the in-memory host: scene files (JSON), Bezier patch files
// (.bpt) and polygon meshes (.obj), and the embedded default scene.
#pragma once

#include <memory>
#include <string>

#include "memhost/MemoryHost.h"

struct SceneLoad {
    std::unique_ptr<MemoryNode> root;  // null on failure
    std::string error;                 // "file:line:column: message" style, empty on success
    explicit operator bool() const { return root != nullptr; }
};

// Loads a scene by the file's extension: .json (a scene file), .bpt (one
// patch object under a root node) or .obj (one convertible mesh under a
// root node).
SceneLoad LoadSceneFile(const std::string& path);

// The embedded default scene: the teapot and friends.
std::unique_ptr<MemoryNode> DefaultScene();

// The loaders one at a time, on text already in memory (the contents of a
// file called name, which errors name). They never throw; a failure answers
// an error naming the file and the place.

// A patch mesh read from Bezier patch text (.bpt); see scenes/BptLoader.h.
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

// The scene that the text of a scene file (JSON; see scenes/SceneFile.h)
// describes. The files it names are read relative to folder.
SceneLoad LoadSceneText(const std::string& text, const std::string& name, const std::string& folder);
