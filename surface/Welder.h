// How the tessellator shares vertices and normals between patches.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "surface/BezierPatch.h"

namespace surface {

// Hands out vertex ids so that bit-identical corners are one vertex and an
// edge with the same four control points (in either direction) is sampled
// once, in its canonical direction, for both patches that use it. Ids count
// on across batches; only the vertices added since the last TakePositions
// are held.
class Welder {
public:
    explicit Welder(int steps) : steps_(steps) {}

    std::int32_t Add(Vec3 p);
    std::int32_t Corner(Vec3 p);
    // The vertices along curve, steps + 1 of them, in the curve's direction.
    std::vector<std::int32_t> Edge(const EdgeCurve& curve);

    // Hands over the vertices added since the last call; answers the id of
    // the first of them through first.
    std::vector<Vec3> TakePositions(std::int32_t& first);

private:
    using CornerKey = std::array<std::uint64_t, 3>;
    using EdgeKey = std::array<std::uint64_t, 12>;
    static CornerKey KeyOf(Vec3 p);
    static EdgeKey KeyOf(const EdgeCurve& curve);
    std::vector<std::int32_t> Sample(const EdgeCurve& curve);

    int steps_;
    std::int32_t next_ = 0;
    std::int32_t firstHeld_ = 0;
    std::vector<Vec3> positions_;
    std::map<CornerKey, std::int32_t> corners_;
    // Edges sampled for one patch and waiting for the second; an edge leaves
    // once its second patch took it, so the map holds the open front only.
    std::map<EdgeKey, std::vector<std::int32_t>> edges_;
};

// Normals of the samples that share a vertex are averaged when they lie
// within 35 degrees of each other (a smooth join of patches), and kept apart
// otherwise (the edge of a box).
class NormalClusters {
public:
    // The cluster at vertex that unit normal n joins, made anew when none is
    // close enough.
    std::int32_t Join(std::int32_t vertex, Vec3 n);
    // The unit normals of the clusters made since the last call; the next
    // batch numbers its clusters from 0 again.
    std::vector<Vec3> TakeNormals();

private:
    std::vector<Vec3> sums_;
    std::map<std::int32_t, std::int32_t> firstOf_;  // per vertex of this batch
    std::vector<std::int32_t> next_;                // per cluster
};

}  // namespace surface
