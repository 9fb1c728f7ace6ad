#include "tools/patchtext/Tessellator.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "tools/patchtext/BezierPatch.h"
#include "tools/patchtext/Progress.h"

namespace patchtool {
namespace {

using CornerKey = std::array<std::uint64_t, 3>;
using EdgeKey = std::array<std::uint64_t, 12>;

std::uint64_t Bits(double value) {
    const double positiveZero = value + 0.0;  // -0 and 0 are one key
    std::uint64_t bits = 0;
    std::memcpy(&bits, &positiveZero, sizeof bits);
    return bits;
}

CornerKey KeyOf(Vec3 p) { return {Bits(p.x), Bits(p.y), Bits(p.z)}; }

EdgeKey KeyOf(const EdgeCurve& curve) {
    EdgeKey key{};
    for (std::size_t i = 0; i < 4; ++i) {
        const CornerKey k = KeyOf(curve[i]);
        for (std::size_t j = 0; j < 3; ++j) key[3 * i + j] = k[j];
    }
    return key;
}

EdgeCurve Reversed(const EdgeCurve& c) { return {c[3], c[2], c[1], c[0]}; }

// Hands out mesh vertices so that equal corners and equal edges share them.
class Welder {
public:
    Welder(int steps, TriangleMesh& mesh) : steps_(steps), mesh_(mesh) {}

    std::int32_t Add(Vec3 p) {
        mesh_.positions.push_back(p);
        return static_cast<std::int32_t>(mesh_.positions.size() - 1);
    }

    std::int32_t Corner(Vec3 p) {
        const auto found = corners_.find(KeyOf(p));
        if (found != corners_.end()) return found->second;
        const std::int32_t id = Add(p);
        corners_.emplace(KeyOf(p), id);
        return id;
    }

    // The vertices along curve, steps + 1 of them, in the curve's direction.
    std::vector<std::int32_t> Edge(const EdgeCurve& curve) {
        const EdgeKey forward = KeyOf(curve);
        const EdgeKey backward = KeyOf(Reversed(curve));
        if (forward == backward && IsPoint(forward)) {
            return std::vector<std::int32_t>(static_cast<std::size_t>(steps_) + 1, Corner(curve[0]));
        }
        const bool reversed = backward < forward;
        const EdgeKey& key = reversed ? backward : forward;
        auto found = edges_.find(key);
        if (found == edges_.end()) {
            found = edges_.emplace(key, Sample(reversed ? Reversed(curve) : curve)).first;
        }
        std::vector<std::int32_t> ids = found->second;
        if (reversed) std::reverse(ids.begin(), ids.end());
        return ids;
    }

private:
    static bool IsPoint(const EdgeKey& key) {
        for (std::size_t i = 3; i < key.size(); ++i) {
            if (key[i] != key[i % 3]) return false;
        }
        return true;
    }

    std::vector<std::int32_t> Sample(const EdgeCurve& curve) {
        std::vector<std::int32_t> ids(static_cast<std::size_t>(steps_) + 1);
        ids.front() = Corner(curve[0]);
        ids.back() = Corner(curve[3]);
        for (int k = 1; k < steps_; ++k) {
            ids[static_cast<std::size_t>(k)] = Add(EvaluateCurve(curve, static_cast<double>(k) / steps_));
        }
        return ids;
    }

    int steps_;
    TriangleMesh& mesh_;
    std::map<CornerKey, std::int32_t> corners_;
    std::map<EdgeKey, std::vector<std::int32_t>> edges_;
};

// The parameters (u, v) of sample index of a patch.
std::pair<double, double> SampleParameters(int sides, int steps, std::size_t index) {
    const double n = steps;
    if (sides == 4) {
        const std::size_t row = static_cast<std::size_t>(steps) + 1;
        return {static_cast<double>(index % row) / n, static_cast<double>(index / row) / n};
    }
    int b = 0;
    std::size_t rowStart = 0;
    while (rowStart + static_cast<std::size_t>(steps - b) + 1 <= index) {
        rowStart += static_cast<std::size_t>(steps - b) + 1;
        ++b;
    }
    return {static_cast<double>(index - rowStart) / n, b / n};
}

// Normals of the samples that share a vertex are averaged when they lie
// within the crease angle of each other (a smooth join of patches), and
// kept apart otherwise (the edge of a box).
class NormalClusters {
public:
    // The cluster at vertex that normal n joins, made anew when none is
    // close enough. A zero n (no normal known) gets a cluster of its own.
    std::int32_t Join(std::int32_t vertex, Vec3 n) {
        const auto v = static_cast<std::size_t>(vertex);
        if (firstOf_.size() <= v) firstOf_.resize(v + 1, -1);
        if (n != Vec3{}) {
            for (std::int32_t c = firstOf_[v]; c >= 0; c = next_[static_cast<std::size_t>(c)]) {
                const Vec3 sum = sums[static_cast<std::size_t>(c)];
                if (Dot(NormalizedOr(sum, Vec3{}), n) >= kCreaseCosine) {
                    sums[static_cast<std::size_t>(c)] += n;
                    return c;
                }
            }
        }
        sums.push_back(n);
        next_.push_back(firstOf_[v]);
        firstOf_[v] = static_cast<std::int32_t>(sums.size() - 1);
        return firstOf_[v];
    }

    std::vector<Vec3> sums;

private:
    // cos 35 degrees: smooth joins are far closer, box edges far apart.
    static constexpr double kCreaseCosine = 0.8191520442889918;
    std::vector<std::int32_t> firstOf_;
    std::vector<std::int32_t> next_;
};

void AddTriangle(TriangleMesh& mesh, const PatchSamples& s, std::size_t a, std::size_t b, std::size_t c) {
    const std::int32_t pa = s.vertex[a], pb = s.vertex[b], pc = s.vertex[c];
    if (pa == pb || pb == pc || pa == pc) return;  // collapsed at a pole
    mesh.triangles.push_back({pa, pb, pc});
    mesh.triangleNormals.push_back({s.normal[a], s.normal[b], s.normal[c]});
}

void AddQuadTriangles(TriangleMesh& mesh, int steps, const PatchSamples& s) {
    const std::size_t row = static_cast<std::size_t>(steps) + 1;
    for (std::size_t r = 0; r < row - 1; ++r) {
        for (std::size_t c = 0; c < row - 1; ++c) {
            const std::size_t a = r * row + c, b = a + 1, d = a + row, e = d + 1;
            AddTriangle(mesh, s, a, b, e);
            AddTriangle(mesh, s, a, e, d);
        }
    }
}

void AddTriTriangles(TriangleMesh& mesh, int steps, const PatchSamples& s) {
    for (int b = 0; b < steps; ++b) {
        for (int a = 0; a + b < steps; ++a) {
            const std::size_t p = TriSampleIndex(steps, a, b), q = TriSampleIndex(steps, a + 1, b);
            const std::size_t r = TriSampleIndex(steps, a, b + 1);
            AddTriangle(mesh, s, p, q, r);
            if (a + b + 2 <= steps) AddTriangle(mesh, s, q, TriSampleIndex(steps, a + 1, b + 1), r);
        }
    }
}

PatchSamples SamplePatch(const PatchNet& net, std::int32_t patch, int steps, Welder& welder,
                         NormalClusters& normals) {
    PatchSamples samples;
    samples.patch = patch;
    samples.sides = net.sides;
    samples.vertex.assign(SampleCount(net.sides, steps), -1);
    samples.normal.assign(samples.vertex.size(), -1);
    for (int edge = 0; edge < net.sides; ++edge) {
        const std::vector<std::int32_t> ids = welder.Edge(net.Edge(edge));
        const std::vector<std::size_t> where = EdgeSampleIndices(net.sides, steps, edge);
        for (std::size_t k = 0; k < where.size(); ++k) samples.vertex[where[k]] = ids[k];
    }
    for (std::size_t i = 0; i < samples.vertex.size(); ++i) {
        const auto [u, v] = SampleParameters(net.sides, steps, i);
        if (samples.vertex[i] < 0) samples.vertex[i] = welder.Add(net.Point(u, v));
        samples.normal[i] = normals.Join(samples.vertex[i], net.UnitNormal(u, v, Vec3{}));
    }
    return samples;
}

// Unit normals from the clusters' sums; a cluster without a known normal
// (every sample degenerate) takes the normal of its triangles, and failing
// that +z.
void FinishNormals(TriangleMesh& mesh, const std::vector<Vec3>& sums) {
    std::vector<Vec3> faceSums(sums.size());
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        const auto& p = mesh.triangles[t];
        const Vec3 a = mesh.positions[static_cast<std::size_t>(p[0])];
        const Vec3 n = Cross(mesh.positions[static_cast<std::size_t>(p[1])] - a, mesh.positions[static_cast<std::size_t>(p[2])] - a);
        for (const std::int32_t c : mesh.triangleNormals[t]) faceSums[static_cast<std::size_t>(c)] += n;
    }
    mesh.normals.resize(sums.size());
    for (std::size_t i = 0; i < sums.size(); ++i)
        mesh.normals[i] = NormalizedOr(sums[i], NormalizedOr(faceSums[i], Vec3{0, 0, 1}));
}

}  // namespace

std::size_t TriSampleIndex(int steps, int a, int b) {
    // Rows before b hold (steps + 1) + steps + ... + (steps - b + 2) samples.
    const auto n = static_cast<std::size_t>(steps) + 1;
    const auto rows = static_cast<std::size_t>(b);
    return rows * n - rows * (rows - 1) / 2 + static_cast<std::size_t>(a);
}

std::size_t SampleCount(int sides, int steps) {
    const auto n = static_cast<std::size_t>(steps) + 1;
    return sides == 4 ? n * n : n * (n + 1) / 2;
}

std::vector<std::size_t> EdgeSampleIndices(int sides, int steps, int edge) {
    std::vector<std::size_t> out;
    const auto n = static_cast<std::size_t>(steps);
    for (std::size_t k = 0; k <= n; ++k) {
        const int ki = static_cast<int>(k), back = steps - ki;
        if (sides == 4) {
            const std::size_t row = n + 1;
            const std::size_t quad[4] = {k, k * row + n, n * row + (n - k), (n - k) * row};
            out.push_back(quad[edge]);
        } else {
            const std::size_t tri[3] = {TriSampleIndex(steps, ki, 0), TriSampleIndex(steps, back, ki),
                                        TriSampleIndex(steps, 0, back)};
            out.push_back(tri[edge]);
        }
    }
    return out;
}

ObjectMesh TessellateObject(const ExportPatchObject& object, int steps, Progress* progress) {
    ObjectMesh out;
    Welder welder(steps, out.mesh);
    NormalClusters normals;
    for (std::int32_t p = 0; p < object.NumPatches(); ++p) {
        PatchNet net;
        const std::string why = ResolveNet(object, object.PatchAt(p), net);
        if (!why.empty()) {
            out.skipped.push_back({p, why});
        } else {
            out.patches.push_back(SamplePatch(net, p, steps, welder, normals));
            if (net.sides == 4) AddQuadTriangles(out.mesh, steps, out.patches.back());
            else AddTriTriangles(out.mesh, steps, out.patches.back());
        }
        if (progress) progress->Advance();
    }
    FinishNormals(out.mesh, normals.sums);
    return out;
}

}  // namespace patchtool
