// Real scenes for the in-memory host: scene files (JSON), Bezier patch files
// (.bpt) and polygon meshes (.obj), and the embedded default scene.
#pragma once

#include <memory>
#include <string>

#include "host/HostExport.h"
#include "host/MemoryHost.h"

struct SceneLoad {
    std::unique_ptr<MemoryNode> root;  // null on failure
    std::string error;                 // "file:line:column: message" style, empty on success
    explicit operator bool() const { return root != nullptr; }
};

// Loads a scene by the file's extension: .json (a scene file), .bpt (one
// patch object under a root node) or .obj (one convertible mesh under a
// root node).
HOST_API SceneLoad LoadSceneFile(const std::string& path);

// The embedded default scene: the teapot and friends.
HOST_API std::unique_ptr<MemoryNode> DefaultScene();
