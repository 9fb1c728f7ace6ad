// Turns a tessellated patch object into the vertex arrays of a glTF mesh:
// one vertex per distinct (position, normal) pair of the triangle corners
// (surface/CornerVertices.h). Coordinates are the tessellated points rounded
// to 32-bit floats, exactly as the OBJ writer writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "surface/CornerVertices.h"

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
    surface::CornerVertices corners_;
};

}  // namespace gltf
