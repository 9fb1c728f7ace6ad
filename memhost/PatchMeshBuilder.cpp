#include "memhost/PatchMeshBuilder.h"

#include <cstring>

namespace {

std::uint32_t Bits(float value) {
    if (value == 0.0f) value = 0.0f;  // -0 merges with 0
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

std::int32_t PointMerger::Add(const Float3& point) {
    const Key key{Bits(point.x), Bits(point.y), Bits(point.z)};
    const auto found = indexOf_.find(key);
    if (found != indexOf_.end()) return found->second;
    const auto index = static_cast<std::int32_t>(points_.size());
    points_.push_back(point);
    indexOf_.emplace(key, index);
    return index;
}

std::int32_t AddOpenEdge(std::vector<HostPatchEdge>& edges, std::int32_t patch) {
    edges.push_back({patch, -1});
    return static_cast<std::int32_t>(edges.size() - 1);
}

std::int32_t JoinEdge(std::vector<HostPatchEdge>& edges, std::int32_t edge, std::int32_t patch) {
    HostPatchEdge& record = edges[static_cast<std::size_t>(edge)];
    if (record.secondPatch >= 0) return AddOpenEdge(edges, patch);
    record.secondPatch = patch;
    return edge;
}

std::int32_t EdgeJoiner::Join(std::int32_t patch, std::int32_t from, std::int32_t to, std::int32_t nearFrom,
                              std::int32_t nearTo) {
    if (from == to) return AddOpenEdge(edges_, patch);
    // The same edge seen from either side gives the same key.
    const Key key = from < to ? Key{from, to, nearFrom, nearTo} : Key{to, from, nearTo, nearFrom};
    const auto found = recordOf_.find(key);
    if (found != recordOf_.end()) return JoinEdge(edges_, found->second, patch);
    const std::int32_t edge = AddOpenEdge(edges_, patch);
    recordOf_.emplace(key, edge);
    return edge;
}
