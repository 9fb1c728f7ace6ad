// A tessellation's triangle corners as vertices with one index each.
//
// A tessellation shares positions between patches and keeps normals apart at
// creases, so a triangle corner names a position and a normal separately.
// Vertex arrays (glTF, numpy, GPUs) have one index per corner for every
// attribute, so each distinct (position, normal) pair that a triangle uses
// becomes one vertex, in the order the triangles first use them.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "surface/Tessellator.h"

namespace surface {

class CornerVertices {
public:
    // Adds the batches of one object's Tessellation in order (or one whole
    // mesh): a batch's new positions, and its triangles with its normals.
    void Add(const TriangleMesh& batch);

    const std::vector<Vec3>& Positions() const { return positions_; }
    const std::vector<Vec3>& Normals() const { return normals_; }
    // Three vertex numbers per counter-clockwise triangle.
    const std::vector<std::uint32_t>& Indices() const { return indices_; }

private:
    std::uint32_t VertexFor(std::int32_t position, std::uint32_t normal, const Vec3& direction);

    std::vector<Vec3> objectPositions_;  // every position of the object so far, by id
    std::unordered_map<std::uint64_t, std::uint32_t> vertexOfPair_;
    std::uint32_t normalsBefore_ = 0;  // normals of the earlier batches
    std::vector<Vec3> positions_, normals_;
    std::vector<std::uint32_t> indices_;
};

}  // namespace surface
