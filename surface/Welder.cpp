#include "surface/Welder.h"

#include <algorithm>
#include <cstring>

namespace surface {
namespace {

std::uint64_t Bits(double value) {
    const double positiveZero = value + 0.0;  // -0 and 0 are one key
    std::uint64_t bits = 0;
    std::memcpy(&bits, &positiveZero, sizeof bits);
    return bits;
}

EdgeCurve Reversed(const EdgeCurve& c) { return {c[3], c[2], c[1], c[0]}; }

// cos 35 degrees: smooth joins are far closer, box edges far apart.
constexpr double kCreaseCosine = 0.8191520442889918;

}  // namespace

Welder::CornerKey Welder::KeyOf(Vec3 p) { return {Bits(p.x), Bits(p.y), Bits(p.z)}; }

Welder::EdgeKey Welder::KeyOf(const EdgeCurve& curve) {
    EdgeKey key{};
    for (std::size_t i = 0; i < 4; ++i) {
        const CornerKey k = KeyOf(curve[i]);
        for (std::size_t j = 0; j < 3; ++j) key[3 * i + j] = k[j];
    }
    return key;
}

std::int32_t Welder::Add(Vec3 p) {
    positions_.push_back(p);
    return next_++;
}

std::int32_t Welder::Corner(Vec3 p) {
    const auto [found, fresh] = corners_.emplace(KeyOf(p), next_);
    if (fresh) Add(p);
    return found->second;
}

std::vector<std::int32_t> Welder::Edge(const EdgeCurve& curve) {
    const EdgeKey forward = KeyOf(curve);
    const EdgeKey backward = KeyOf(Reversed(curve));
    if (forward == backward && curve[0] == curve[1] && curve[1] == curve[2] && curve[2] == curve[3]) {
        return std::vector<std::int32_t>(static_cast<std::size_t>(steps_) + 1, Corner(curve[0]));
    }
    const bool reversed = backward < forward;
    const EdgeKey& key = reversed ? backward : forward;
    std::vector<std::int32_t> ids;
    const auto found = edges_.find(key);
    if (found == edges_.end()) {
        ids = Sample(reversed ? Reversed(curve) : curve);
        edges_.emplace(key, ids);
    } else {
        ids = std::move(found->second);
        edges_.erase(found);
    }
    if (reversed) std::reverse(ids.begin(), ids.end());
    return ids;
}

std::vector<std::int32_t> Welder::Sample(const EdgeCurve& curve) {
    std::vector<std::int32_t> ids(static_cast<std::size_t>(steps_) + 1);
    ids.front() = Corner(curve[0]);
    ids.back() = Corner(curve[3]);
    for (int k = 1; k < steps_; ++k) {
        ids[static_cast<std::size_t>(k)] = Add(EvaluateCurve(curve, static_cast<double>(k) / steps_));
    }
    return ids;
}

std::vector<Vec3> Welder::TakePositions(std::int32_t& first) {
    first = firstHeld_;
    firstHeld_ = next_;
    std::vector<Vec3> taken;
    taken.swap(positions_);
    return taken;
}

std::int32_t NormalClusters::Join(std::int32_t vertex, Vec3 n) {
    const auto [head, fresh] = firstOf_.emplace(vertex, -1);
    for (std::int32_t c = head->second; c >= 0; c = next_[static_cast<std::size_t>(c)]) {
        Vec3& sum = sums_[static_cast<std::size_t>(c)];
        if (Dot(NormalizedOr(sum, Vec3{}), n) >= kCreaseCosine) {
            sum += n;
            return c;
        }
    }
    sums_.push_back(n);
    next_.push_back(head->second);
    head->second = static_cast<std::int32_t>(sums_.size() - 1);
    return head->second;
}

std::vector<Vec3> NormalClusters::TakeNormals() {
    std::vector<Vec3> normals;
    normals.reserve(sums_.size());
    for (const Vec3& sum : sums_) normals.push_back(NormalizedOr(sum, Vec3{0, 0, 1}));
    sums_.clear();
    next_.clear();
    firstOf_.clear();
    return normals;
}

}  // namespace surface
