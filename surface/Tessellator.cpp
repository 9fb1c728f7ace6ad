#include "surface/Tessellator.h"

#include <algorithm>

#include "surface/BezierPatch.h"
#include "surface/Welder.h"

namespace surface {
namespace {

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

// A patch's surface at its samples, before any welding: the part of the
// work that any thread can do.
struct EvaluatedPatch {
    std::string why;  // empty, or why the patch has no surface
    PatchNet net;
    std::vector<Vec3> points;   // per sample; those on the edges come from the welder
    std::vector<Vec3> normals;  // per sample, unit length
};

EvaluatedPatch Evaluate(const ExportPatchObject& object, std::int32_t patch, int steps) {
    EvaluatedPatch e;
    e.why = ResolveNet(object, object.PatchAt(patch), e.net);
    if (!e.why.empty()) return e;
    const PatchNet& net = e.net;
    const std::size_t count = SampleCount(net.sides, steps);
    std::vector<bool> onEdge(count, false);
    for (int edge = 0; edge < net.sides; ++edge)
        for (const std::size_t i : EdgeSampleIndices(net.sides, steps, edge)) onEdge[i] = true;
    // Where the patch has no normal at all (every nearby point degenerate),
    // its middle's normal stands in, and failing that +z.
    const double middle = net.sides == 4 ? 0.5 : 1.0 / 3.0;
    const Vec3 fallback = net.UnitNormal(middle, middle, Vec3{0, 0, 1});
    e.points.resize(count);
    e.normals.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto [u, v] = SampleParameters(net.sides, steps, i);
        if (!onEdge[i]) e.points[i] = net.Point(u, v);
        e.normals[i] = net.UnitNormal(u, v, fallback);
    }
    return e;
}

PatchSamples WeldPatch(const EvaluatedPatch& e, std::int32_t patch, int steps, Welder& welder,
                       NormalClusters& normals) {
    const PatchNet& net = e.net;
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
        if (samples.vertex[i] < 0) samples.vertex[i] = welder.Add(e.points[i]);
        samples.normal[i] = normals.Join(samples.vertex[i], e.normals[i]);
    }
    return samples;
}

// Samples evaluated ahead of the welding at most, so that memory stays
// small at any steps (about 12 MB).
constexpr std::size_t kSamplesEvaluatedAhead = std::size_t{1} << 18;

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

Tessellation::Tessellation(int steps)
    : steps_(steps), welder_(std::make_unique<Welder>(steps)), normals_(std::make_unique<NormalClusters>()) {}

Tessellation::~Tessellation() = default;

void Tessellation::AddPatch(const ExportPatchObject& object, std::int32_t patch) {
    AddPatches(object, patch, patch + 1, nullptr, nullptr);
}

void Tessellation::AddPatches(const ExportPatchObject& object, std::int32_t first, std::int32_t end,
                              const ForEach& forEach, const PatchDone& done) {
    const auto ahead =
        static_cast<std::int32_t>(std::max<std::size_t>(1, kSamplesEvaluatedAhead / SampleCount(4, steps_)));
    std::vector<EvaluatedPatch> evaluated;
    for (std::int32_t from = first; from < end; from += ahead) {
        const std::int32_t count = std::min(ahead, end - from);
        evaluated.assign(static_cast<std::size_t>(count), EvaluatedPatch());
        const auto job = [&](std::int32_t k) {
            evaluated[static_cast<std::size_t>(k)] = Evaluate(object, from + k, steps_);
        };
        if (forEach)
            forEach(count, job);
        else
            for (std::int32_t k = 0; k < count; ++k) job(k);
        for (std::int32_t k = 0; k < count; ++k) {
            const EvaluatedPatch& e = evaluated[static_cast<std::size_t>(k)];
            if (!e.why.empty()) {
                batch_.skipped.push_back({from + k, e.why});
            } else {
                batch_.patches.push_back(WeldPatch(e, from + k, steps_, *welder_, *normals_));
                if (e.net.sides == 4)
                    AddQuadTriangles(batch_.mesh, steps_, batch_.patches.back());
                else
                    AddTriTriangles(batch_.mesh, steps_, batch_.patches.back());
            }
            if (done) done();
        }
    }
}

ObjectMesh Tessellation::TakeBatch() {
    ObjectMesh out = std::move(batch_);
    batch_ = ObjectMesh();
    out.mesh.positions = welder_->TakePositions(out.mesh.firstPosition);
    out.mesh.normals = normals_->TakeNormals();
    return out;
}

ObjectMesh TessellatePatches(const ExportPatchObject& object, std::int32_t first, std::int32_t count, int steps,
                             const PatchDone& done) {
    Tessellation tessellation(steps);
    const std::int32_t end = std::min(object.NumPatches(), first + count);
    for (std::int32_t p = first; p < end; ++p) {
        tessellation.AddPatch(object, p);
        if (done) done();
    }
    return tessellation.TakeBatch();
}

std::vector<SkippedPatch> TessellateInBatches(const ExportPatchObject& object, int steps, const TakeBatch& take,
                                              const PatchDone& done, const ForEach& forEach) {
    Tessellation tessellation(steps);
    std::vector<SkippedPatch> skipped;
    for (std::int32_t first = 0; first < object.NumPatches(); first += kPatchesPerBatch) {
        tessellation.AddPatches(object, first, std::min(object.NumPatches(), first + kPatchesPerBatch), forEach, done);
        const ObjectMesh batch = tessellation.TakeBatch();
        take(batch);
        skipped.insert(skipped.end(), batch.skipped.begin(), batch.skipped.end());
    }
    return skipped;
}

ObjectMesh TessellateObject(const ExportPatchObject& object, int steps, const PatchDone& done) {
    return TessellatePatches(object, 0, object.NumPatches(), steps, done);
}

}  // namespace surface
