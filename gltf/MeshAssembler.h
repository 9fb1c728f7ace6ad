// Turns a tessellated patch object into the vertex arrays of a glTF mesh.
//
// A tessellation shares positions between patches and keeps normals apart at
// creases, so a triangle corner names a position and a normal separately.
// glTF has one index per corner for every attribute, so each distinct
// (position, normal) pair that a triangle uses becomes one vertex, in the
// order the triangles first use them. Coordinates are the tessellated
// points rounded to 32-bit floats, exactly as the OBJ writer writes them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "surface/Tessellator.h"

namespace gltf {

// One glTF mesh: three floats per vertex in positions and normals, three
// vertex numbers per counter-clockwise triangle.
struct MeshData {
    std::string name;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint32_t> indices;

    std::size_t VertexCount() const { return positions.size() / 3; }
    std::size_t TriangleCount() const { return indices.size() / 3; }
};

// Collects the batches of one object's Tessellation, in order.
class MeshAssembler {
public:
    // Adds a batch: its new positions, and its triangles with the normals
    // of the batch.
    void Add(const surface::TriangleMesh& batch);
    // The mesh so far; the assembler is empty afterwards.
    MeshData Take(const std::string& name);

private:
    std::uint32_t VertexFor(std::int32_t position, std::uint32_t normal, const surface::Vec3& direction);

    std::vector<std::array<float, 3>> positions_;  // every position of the object so far, by id
    std::unordered_map<std::uint64_t, std::uint32_t> vertexOfPair_;
    std::uint32_t normalsBefore_ = 0;  // normals of the earlier batches
    MeshData mesh_;
};

}  // namespace gltf
