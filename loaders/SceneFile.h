// Scene files: a node tree in JSON.
//
// The document is one node, the root. A node is an object with these keys,
// each optional; any other key is an error:
//   "name":      text (default empty).
//   "transform": {"translation": [x, y, z], "rotation": [x, y, z],
//                 "scale": s or [x, y, z]}, each key optional (defaults: no
//                 translation, no rotation, scale 1). The rotation is in
//                 degrees about the X, then the Y, then the Z axis. A node's
//                 local transform scales, rotates, then translates; its
//                 world transform is its local transform followed by its
//                 parent's world transform.
//   "object":    null (no object, the default) or exactly one of
//                 {"bpt": "path"}  a patch object from a Bezier patch file;
//                 {"obj": "path"}  a polygon mesh that converts into a new
//                                  patch object;
//                 {"camera": {"target": "node name" or null,
//                             "evaluate": n}}
//                                  a look-at camera aimed at the one node of
//                                  that name (none: no target); its
//                                  evaluation answers n (default 1, success);
//                 {"inert": "kind"} an object that converts to nothing, such
//                                  as a light.
//   "children":  an array of nodes, in order.
// Paths are relative to the scene file's folder. Several nodes may name the
// same file; it is read once.
//
// Errors name the scene file and the place: "file:line:column: ..." for a
// document that is not JSON, "file: /json/pointer: ..." for a node or value
// that is wrong there.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <string>

#include "loaders/SceneFiles.h"

// A file that a scene names, opened for reading.
struct OpenedFile {
    std::unique_ptr<std::istream> stream;  // null when it could not be opened
    std::string name;                      // how errors name the file
};

// Opens the file that a scene names by path (as the scene writes it).
using SceneFileOpener = std::function<OpenedFile(const std::string& path)>;

// Builds the scene that text (the scene file called name) describes.
SceneLoad ReadScene(const std::string& text, const std::string& name, const SceneFileOpener& open);

// Opens files relative to folder, from the disk.
SceneFileOpener DiskOpener(const std::string& folder);
