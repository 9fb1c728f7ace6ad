// The meshes of an imported node as one polygon mesh for the in-memory
// host (see loaders/SceneImport.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "memhost/PolygonMesh.h"

struct aiMesh;

struct JoinedMesh {
    PolygonMesh mesh;
    std::size_t points = 0;  // faces of one corner, left out
    std::size_t lines = 0;   // faces of two corners, left out
};

// Joins meshes into one polygon mesh: positions welded by value (-0 and 0
// are one position) in the order they first appear, faces in order, a face
// of more corners than a polygon mesh keeps per face split into the fan of
// triangles that the conversion would make of it. Answers false with error
// (naming the mesh and what is wrong) for indices out of range, positions
// that are not finite numbers, and meshes too large for the host's indices.
bool JoinMeshes(const std::vector<const aiMesh*>& meshes, JoinedMesh& joined, std::string& error);
