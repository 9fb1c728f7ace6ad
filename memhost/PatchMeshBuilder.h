// Building blocks shared by the loaders that make patch meshes: points
// merged by value, and the edge records that tell which patches meet on an
// edge.
//
// Edge treatment, the same for every loader:
// - An edge that two patches share is one edge record naming both patches.
// - A degenerate edge, whose two corners are the same vertex (zero length,
//   as where a patch closes to a point), is never shared: it gets an edge
//   record of its own that names only its patch, so it exports as an open
//   edge. Several patches meeting at such a point are not neighbours.
// - An edge that more than two patches share (a non-manifold edge): its
//   record names the first two patches; each further patch gets an edge
//   record of its own naming only itself, so it exports as an open edge and
//   the first two keep a mutual adjacency.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "host/HostInterfaces.h"
#include "host/HostTypes.h"

// Appends points to a list, merging points of equal value: adding a point
// equal to one already there answers that point's index. -0 and 0 count as
// equal; the loaders admit only finite coordinates.
class PointMerger {
public:
    explicit PointMerger(std::vector<Float3>& points) : points_(points) {}

    std::int32_t Add(const Float3& point);

private:
    using Key = std::array<std::uint32_t, 3>;
    std::vector<Float3>& points_;
    std::map<Key, std::int32_t> indexOf_;
};

// An edge record of its own for patch, named by no other patch.
std::int32_t AddOpenEdge(std::vector<HostPatchEdge>& edges, std::int32_t patch);

// Enters patch on edge record edge, which already names one patch. Answers
// the record that now names patch: edge itself, or a new open record when
// edge already names two patches.
std::int32_t JoinEdge(std::vector<HostPatchEdge>& edges, std::int32_t edge, std::int32_t patch);

// Edge records of patches whose edges are told apart by their two corner
// vertices and their two handle vectors, in either direction.
class EdgeJoiner {
public:
    explicit EdgeJoiner(std::vector<HostPatchEdge>& edges) : edges_(edges) {}

    // The edge record of patch's side from corner vertex from to corner
    // vertex to, whose handles are nearFrom (next to from) and nearTo.
    std::int32_t Join(std::int32_t patch, std::int32_t from, std::int32_t to, std::int32_t nearFrom,
                      std::int32_t nearTo);

private:
    using Key = std::array<std::int32_t, 4>;
    std::vector<HostPatchEdge>& edges_;
    std::map<Key, std::int32_t> recordOf_;
};
