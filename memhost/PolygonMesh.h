// Polygon meshes as a modelling host holds them, and their conversion into
// patch meshes, the way such a host turns a polygon mesh into a patch
// object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/HostTypes.h"
#include "memhost/MemoryHost.h"

// A polygon mesh as the host holds it: vertex positions, and per face its
// number of corners followed by the corners' vertex indices in one list.
struct PolygonMesh {
    std::vector<Float3> points;
    std::vector<std::int32_t> corners;    // every face's vertex indices, face after face
    std::vector<std::uint8_t> faceSides;  // corners per face, 3 to 255

    // Bytes of mesh data held (the lists' elements).
    std::size_t MemoryBytes() const;
};

// The patch mesh of a polygon mesh:
// - a patch per triangle (type 3) and per quadrilateral (type 4), in face
//   order; a face of five or more corners is split into a fan of triangles
//   (c0, ck, ck+1) for k = 1 .. sides - 2;
// - the vertices are the mesh's points, in order;
// - each edge has two vectors, at one and two thirds along it, which both
//   patches on the edge share: a patch's vecs[2i] is the one a third of the
//   way from its corner i toward corner i + 1, vecs[2i + 1] the one two
//   thirds of the way;
// - interior vector i of a triangle is (4 v_i + v_i+1 + v_i+2) / 6, of a
//   quadrilateral (4 v_i + 2 v_i+1 + v_i+2 + 2 v_i+3) / 9 (indices mod
//   sides), so a flat polygon gives a flat patch;
// - vectors are listed patch by patch: the vector pairs of the patch's
//   edges that no earlier patch has, by side, then its interior vectors.
//   Edge records are numbered in the order edges first appear.
// Edges of the same two vertices are one edge (one record, one vector
// pair), following the treatment of PatchMeshBuilder.h; a degenerate
// edge (a face naming one vertex twice in a row) has a vector pair of its
// own.
// Every list is allocated at its final size: nothing is copied or
// over-allocated on the way.
MemoryPatchMesh ConvertToPatches(const PolygonMesh& mesh);

// An object that converts to the patch mesh of mesh when the host asks,
// holding the mesh (shared with whoever else holds it) until then.
std::unique_ptr<MemoryObject> ConvertibleMesh(std::shared_ptr<const PolygonMesh> mesh);
