// Scenes of other tools (glTF 2.0, FBX, COLLADA, 3DS, PLY, STL and every
// other format the importer reads) as in-memory host scenes, so that the
// plug-in's export runs on them unchanged. The importer (assimp) is part of
// the native builds only; where the build has none, the extension list is
// empty and an import answers why.
//
// What a scene becomes:
// - Nodes: every node of the file becomes a host node with the file's name,
//   its children in file order, and its local transform as the file holds
//   it (the host node keeps it composed with its parents' as its world
//   transform). The scene stays in the file's axes and units: the
//   transform the importer puts on the scene's own root (unit scaling, an
//   up-axis rotation) is dropped where the format's root has none of its
//   own (COLLADA, 3DS). The file's root is the one child of "Scene Root".
// - Meshes: a node's meshes become one object that converts into a patch
//   object (memhost/PolygonMesh.h): positions as the file stores them,
//   identical positions welded into one vertex, triangles and quadrilaterals
//   kept, larger polygons split into fans, every face kept; points and lines
//   are left out with a warning.
// - Cameras: a look-at camera on the camera's node, at the node's origin,
//   aimed at the node "<camera>.Target" where the file has one, at a new
//   node of that name on the point the file names (3DS target cameras),
//   and otherwise at a new child node of that name one unit down the
//   camera's view direction. Lights become inert objects.
// - Bad input (a file the importer refuses, indices out of range, positions
//   or transforms that are not finite, nodes that repeat, a scene with no
//   meshes and no cameras) fails the whole load with a message naming the
//   file.
#pragma once

#include <string>
#include <vector>

#include "loaders/SceneFiles.h"

// Whether this build has the scene importer.
bool HasSceneImporter();

// The extensions the importer reads, lower case with their dot, sorted.
std::vector<std::string> ImporterExtensions();

// The scene of the file at path, of any extension the importer reads.
SceneLoad ImportSceneFile(const std::string& path, const LoadListener& listener);

// The scene of a file held in memory: bytes of the kind that extension
// names (".gltf", ".ply", ...); errors call the file name.
SceneLoad ImportSceneBytes(const std::string& bytes, const std::string& extension, const std::string& name,
                           const LoadListener& listener);
