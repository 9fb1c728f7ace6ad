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

void AddTriangle(TriangleMesh& mesh, std::int32_t a, std::int32_t b, std::int32_t c) {
    if (a == b || b == c || a == c) return;  // collapsed at a pole
    mesh.triangles.push_back({a, b, c});
}

void AddQuadTriangles(TriangleMesh& mesh, int steps, const std::vector<std::int32_t>& id) {
    const std::size_t row = static_cast<std::size_t>(steps) + 1;
    for (std::size_t r = 0; r < row - 1; ++r) {
        for (std::size_t c = 0; c < row - 1; ++c) {
            const std::int32_t a = id[r * row + c], b = id[r * row + c + 1];
            const std::int32_t d = id[(r + 1) * row + c], e = id[(r + 1) * row + c + 1];
            AddTriangle(mesh, a, b, e);
            AddTriangle(mesh, a, e, d);
        }
    }
}

void AddTriTriangles(TriangleMesh& mesh, int steps, const std::vector<std::int32_t>& id) {
    for (int b = 0; b < steps; ++b) {
        for (int a = 0; a + b < steps; ++a) {
            const std::int32_t p = id[TriSampleIndex(steps, a, b)];
            const std::int32_t q = id[TriSampleIndex(steps, a + 1, b)];
            const std::int32_t r = id[TriSampleIndex(steps, a, b + 1)];
            AddTriangle(mesh, p, q, r);
            if (a + b + 2 <= steps) AddTriangle(mesh, q, id[TriSampleIndex(steps, a + 1, b + 1)], r);
        }
    }
}

PatchSamples SamplePatch(const PatchNet& net, std::int32_t patch, int steps, Welder& welder,
                         std::vector<Vec3>& normalSums) {
    PatchSamples samples;
    samples.patch = patch;
    samples.sides = net.sides;
    samples.vertex.assign(SampleCount(net.sides, steps), -1);
    for (int edge = 0; edge < net.sides; ++edge) {
        const std::vector<std::int32_t> ids = welder.Edge(net.Edge(edge));
        const std::vector<std::size_t> where = EdgeSampleIndices(net.sides, steps, edge);
        for (std::size_t k = 0; k < where.size(); ++k) samples.vertex[where[k]] = ids[k];
    }
    for (std::size_t i = 0; i < samples.vertex.size(); ++i) {
        const auto [u, v] = SampleParameters(net.sides, steps, i);
        if (samples.vertex[i] < 0) samples.vertex[i] = welder.Add(net.Point(u, v));
        const auto id = static_cast<std::size_t>(samples.vertex[i]);
        if (normalSums.size() <= id) normalSums.resize(id + 1);
        normalSums[id] += net.UnitNormal(u, v, Vec3{});
    }
    return samples;
}

// Unit normals from the summed patch normals; a vertex where every patch was
// degenerate takes the normal of its triangles, and failing that +z.
void FinishNormals(TriangleMesh& mesh, std::vector<Vec3> sums) {
    sums.resize(mesh.positions.size());
    std::vector<Vec3> faceSums(mesh.positions.size());
    for (const auto& t : mesh.triangles) {
        const auto i = static_cast<std::size_t>(t[0]), j = static_cast<std::size_t>(t[1]),
                   k = static_cast<std::size_t>(t[2]);
        const Vec3 n = Cross(mesh.positions[j] - mesh.positions[i], mesh.positions[k] - mesh.positions[i]);
        faceSums[i] += n;
        faceSums[j] += n;
        faceSums[k] += n;
    }
    mesh.normals.resize(mesh.positions.size());
    for (std::size_t i = 0; i < sums.size(); ++i) {
        mesh.normals[i] = NormalizedOr(sums[i], NormalizedOr(faceSums[i], Vec3{0, 0, 1}));
    }
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
    std::vector<Vec3> normalSums;
    for (std::int32_t p = 0; p < object.NumPatches(); ++p) {
        PatchNet net;
        const std::string why = ResolveNet(object, object.PatchAt(p), net);
        if (!why.empty()) {
            out.skipped.push_back({p, why});
        } else {
            out.patches.push_back(SamplePatch(net, p, steps, welder, normalSums));
            if (net.sides == 4) AddQuadTriangles(out.mesh, steps, out.patches.back().vertex);
            else AddTriTriangles(out.mesh, steps, out.patches.back().vertex);
        }
        if (progress) progress->Advance();
    }
    FinishNormals(out.mesh, std::move(normalSums));
    return out;
}

}  // namespace patchtool
