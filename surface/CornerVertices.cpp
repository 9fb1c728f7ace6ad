#include "surface/CornerVertices.h"

namespace surface {

void CornerVertices::Add(const TriangleMesh& batch) {
    objectPositions_.insert(objectPositions_.end(), batch.positions.begin(), batch.positions.end());
    for (std::size_t t = 0; t < batch.triangles.size(); ++t) {
        for (std::size_t corner = 0; corner < 3; ++corner) {
            const auto normal = static_cast<std::size_t>(batch.triangleNormals[t][corner]);
            indices_.push_back(VertexFor(batch.triangles[t][corner],
                                         normalsBefore_ + static_cast<std::uint32_t>(normal), batch.normals[normal]));
        }
    }
    normalsBefore_ += static_cast<std::uint32_t>(batch.normals.size());
}

std::uint32_t CornerVertices::VertexFor(std::int32_t position, std::uint32_t normal, const Vec3& direction) {
    const std::uint64_t key = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(position)) << 32) | normal;
    const auto next = static_cast<std::uint32_t>(positions_.size());
    const auto [at, added] = vertexOfPair_.emplace(key, next);
    if (!added) return at->second;
    positions_.push_back(objectPositions_[static_cast<std::size_t>(position)]);
    normals_.push_back(direction);
    return next;
}

}  // namespace surface
