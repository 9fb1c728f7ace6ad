#include "gltf/MeshAssembler.h"

#include <utility>

namespace gltf {

void MeshAssembler::Add(const surface::TriangleMesh& batch) {
    for (const surface::Vec3& p : batch.positions)
        positions_.push_back({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
    for (std::size_t t = 0; t < batch.triangles.size(); ++t) {
        for (std::size_t corner = 0; corner < 3; ++corner) {
            const auto normal = static_cast<std::size_t>(batch.triangleNormals[t][corner]);
            const std::uint32_t vertex = VertexFor(batch.triangles[t][corner],
                                                   normalsBefore_ + static_cast<std::uint32_t>(normal),
                                                   batch.normals[normal]);
            mesh_.indices.push_back(vertex);
        }
    }
    normalsBefore_ += static_cast<std::uint32_t>(batch.normals.size());
}

std::uint32_t MeshAssembler::VertexFor(std::int32_t position, std::uint32_t normal, const surface::Vec3& direction) {
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(position)) << 32) | normal;
    const auto next = static_cast<std::uint32_t>(mesh_.VertexCount());
    const auto [at, added] = vertexOfPair_.emplace(key, next);
    if (!added) return at->second;
    const std::array<float, 3>& p = positions_[static_cast<std::size_t>(position)];
    mesh_.positions.insert(mesh_.positions.end(), p.begin(), p.end());
    mesh_.normals.push_back(static_cast<float>(direction.x));
    mesh_.normals.push_back(static_cast<float>(direction.y));
    mesh_.normals.push_back(static_cast<float>(direction.z));
    return next;
}

MeshData MeshAssembler::Take(const std::string& name) {
    MeshData mesh = std::move(mesh_);
    mesh.name = name;
    *this = MeshAssembler();
    return mesh;
}

}  // namespace gltf
