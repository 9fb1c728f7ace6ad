// Conversion of a polygon mesh into a patch mesh (see PolygonMesh.h).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "memhost/PatchMeshBuilder.h"
#include "memhost/PolygonMesh.h"

namespace {

// The corner vertices of one patch of the converted mesh.
struct PatchCorners {
    std::int32_t v[4];
    int sides;
};

// Calls visit(corners) for every patch that the faces give, in order.
template <typename Visit>
void ForEachPatch(const PolygonMesh& mesh, Visit&& visit) {
    std::size_t at = 0;
    for (const std::uint8_t sides : mesh.faceSides) {
        const std::int32_t* c = mesh.corners.data() + at;
        if (sides < 3) {
            // Not a polygon; the reader admits none, so there is nothing to make.
        } else if (sides <= 4) {
            visit(PatchCorners{{c[0], c[1], c[2], sides == 4 ? c[3] : -1}, sides});
        } else {
            for (int k = 1; k + 1 < sides; ++k) visit(PatchCorners{{c[0], c[k], c[k + 1], -1}, 3});
        }
        at += sides;
    }
}

// Calls visit(from, to) for every side of a patch.
template <typename Visit>
void ForEachSide(const PatchCorners& corners, Visit&& visit) {
    for (int i = 0; i < corners.sides; ++i) visit(i, corners.v[i], corners.v[(i + 1) % corners.sides]);
}

// How many records the converted mesh's lists get.
struct MeshCounts {
    std::size_t patches = 0;
    std::size_t interiors = 0;
    std::size_t edges = 0;
    std::size_t vecPairs = 0;
};

// The edges of a polygon mesh by their lower vertex: each vertex has a
// sorted bucket of the upper vertices of its edges, so that finding an edge
// takes a binary search however many edges meet at a vertex. Each entry
// keeps the edge's record and its vector pair once they exist.
class EdgeTable {
public:
    struct Slot {
        std::int32_t upper;
        std::int32_t edge;  // -1 until a patch makes the record
        std::int32_t vec;   // first of the pair; the one next to the lower vertex
    };

    EdgeTable(const PolygonMesh& mesh, MeshCounts& counts);
    Slot& Find(std::int32_t lower, std::int32_t upper);

private:
    void Fill(const PolygonMesh& mesh, MeshCounts& counts);
    void SortAndCount(MeshCounts& counts);

    std::vector<std::size_t> start_;  // per vertex, first slot of its bucket
    std::vector<std::int32_t> size_;  // per vertex, distinct edges in its bucket
    std::vector<Slot> slots_;
};

EdgeTable::EdgeTable(const PolygonMesh& mesh, MeshCounts& counts)
    : start_(mesh.points.size() + 1, 0), size_(mesh.points.size(), 0) {
    Fill(mesh, counts);
    SortAndCount(counts);
}

// Puts every side of every patch into its lower vertex's bucket.
void EdgeTable::Fill(const PolygonMesh& mesh, MeshCounts& counts) {
    ForEachPatch(mesh, [&](const PatchCorners& patch) {
        ForEachSide(patch, [&](int, std::int32_t a, std::int32_t b) {
            if (a != b) ++start_[static_cast<std::size_t>(std::min(a, b)) + 1];
        });
    });
    for (std::size_t v = 1; v < start_.size(); ++v) start_[v] += start_[v - 1];
    slots_.resize(start_.back());
    std::vector<std::size_t> fill(start_.begin(), start_.end() - 1);
    ForEachPatch(mesh, [&](const PatchCorners& patch) {
        ++counts.patches;
        counts.interiors += static_cast<std::size_t>(patch.sides);
        ForEachSide(patch, [&](int, std::int32_t a, std::int32_t b) {
            if (a == b) {
                ++counts.edges;  // a degenerate edge: a record and a vector pair of its own
                ++counts.vecPairs;
                return;
            }
            slots_[fill[static_cast<std::size_t>(std::min(a, b))]++] = {std::max(a, b), -1, -1};
        });
    });
}

// Sorts each bucket, counts the records and vector pairs its edges need,
// and keeps one slot per distinct edge.
void EdgeTable::SortAndCount(MeshCounts& counts) {
    for (std::size_t v = 0; v + 1 < start_.size(); ++v) {
        Slot* first = slots_.data() + start_[v];
        Slot* last = slots_.data() + start_[v + 1];
        std::sort(first, last, [](const Slot& l, const Slot& r) { return l.upper < r.upper; });
        Slot* kept = first;
        for (Slot* run = first; run != last;) {
            Slot* runEnd = run;
            while (runEnd != last && runEnd->upper == run->upper) ++runEnd;
            const auto sharers = static_cast<std::size_t>(runEnd - run);
            ++counts.vecPairs;
            counts.edges += 1 + (sharers > 2 ? sharers - 2 : 0);  // see JoinEdge
            *kept++ = *run;
            run = runEnd;
        }
        size_[v] = static_cast<std::int32_t>(kept - first);
    }
}

EdgeTable::Slot& EdgeTable::Find(std::int32_t lower, std::int32_t upper) {
    const auto v = static_cast<std::size_t>(lower);
    Slot* first = slots_.data() + start_[v];
    Slot* last = first + size_[v];
    return *std::lower_bound(first, last, upper, [](const Slot& s, std::int32_t u) { return s.upper < u; });
}

// Sums of weighted points, in double so that the thirds and the interior
// blends round once.
struct Blend {
    double x = 0.0, y = 0.0, z = 0.0, total = 0.0;

    Blend& Add(const Float3& p, double weight) {
        x += weight * p.x;
        y += weight * p.y;
        z += weight * p.z;
        total += weight;
        return *this;
    }
    Float3 Point() const {
        return {static_cast<float>(x / total), static_cast<float>(y / total), static_cast<float>(z / total)};
    }
};

class PatchMaker {
public:
    PatchMaker(const PolygonMesh& polygons, MemoryPatchMesh& mesh, EdgeTable& table)
        : points_(polygons.points), mesh_(mesh), table_(table) {}

    void Add(const PatchCorners& corners);

private:
    const Float3& At(std::int32_t v) const { return points_[static_cast<std::size_t>(v)]; }
    std::int32_t AddVec(const Float3& point);
    std::int32_t AddVecPair(std::int32_t from, std::int32_t to);
    void AddSide(HostPatch& patch, int side, std::int32_t from, std::int32_t to);
    Float3 Interior(const PatchCorners& corners, int i) const;

    const std::vector<Float3>& points_;
    MemoryPatchMesh& mesh_;
    EdgeTable& table_;
};

std::int32_t PatchMaker::AddVec(const Float3& point) {
    mesh_.vecs.push_back(point);
    return static_cast<std::int32_t>(mesh_.vecs.size() - 1);
}

// The vectors at one and two thirds of the way from vertex from to to.
std::int32_t PatchMaker::AddVecPair(std::int32_t from, std::int32_t to) {
    const std::int32_t first = AddVec(Blend().Add(At(from), 2.0).Add(At(to), 1.0).Point());
    AddVec(Blend().Add(At(from), 1.0).Add(At(to), 2.0).Point());
    return first;
}

void PatchMaker::AddSide(HostPatch& patch, int side, std::int32_t from, std::int32_t to) {
    const auto self = static_cast<std::int32_t>(mesh_.patches.size());
    if (from == to) {
        patch.edgeIndex[side] = AddOpenEdge(mesh_.edges, self);
        patch.vecIndex[2 * side] = AddVecPair(from, to);
        patch.vecIndex[2 * side + 1] = patch.vecIndex[2 * side] + 1;
        return;
    }
    const std::int32_t lower = std::min(from, to);
    EdgeTable::Slot& slot = table_.Find(lower, std::max(from, to));
    if (slot.edge < 0) {
        slot.edge = AddOpenEdge(mesh_.edges, self);
        slot.vec = AddVecPair(lower, slot.upper);
        patch.edgeIndex[side] = slot.edge;
    } else {
        patch.edgeIndex[side] = JoinEdge(mesh_.edges, slot.edge, self);
    }
    const bool forward = from == lower;
    patch.vecIndex[2 * side] = forward ? slot.vec : slot.vec + 1;
    patch.vecIndex[2 * side + 1] = forward ? slot.vec + 1 : slot.vec;
}

Float3 PatchMaker::Interior(const PatchCorners& corners, int i) const {
    const int n = corners.sides;
    auto corner = [&](int k) { return At(corners.v[(i + k) % n]); };
    if (n == 3) return Blend().Add(corner(0), 4.0).Add(corner(1), 1.0).Add(corner(2), 1.0).Point();
    return Blend().Add(corner(0), 4.0).Add(corner(1), 2.0).Add(corner(2), 1.0).Add(corner(3), 2.0).Point();
}

void PatchMaker::Add(const PatchCorners& corners) {
    HostPatch patch;
    patch.type = corners.sides;
    for (int i = 0; i < corners.sides; ++i) patch.vertIndex[i] = corners.v[i];
    ForEachSide(corners, [&](int i, std::int32_t from, std::int32_t to) { AddSide(patch, i, from, to); });
    for (int i = 0; i < corners.sides; ++i) patch.interiorIndex[i] = AddVec(Interior(corners, i));
    mesh_.patches.push_back(patch);
}

}  // namespace

std::size_t PolygonMesh::MemoryBytes() const {
    return points.size() * sizeof(Float3) + corners.size() * sizeof(std::int32_t) +
           faceSides.size() * sizeof(std::uint8_t);
}

MemoryPatchMesh ConvertToPatches(const PolygonMesh& polygons) {
    MeshCounts counts;
    EdgeTable table(polygons, counts);
    MemoryPatchMesh mesh;
    mesh.verts = polygons.points;
    mesh.patches.reserve(counts.patches);
    mesh.edges.reserve(counts.edges);
    mesh.vecs.reserve(2 * counts.vecPairs + counts.interiors);
    PatchMaker maker(polygons, mesh, table);
    ForEachPatch(polygons, [&](const PatchCorners& corners) { maker.Add(corners); });
    return mesh;
}

std::unique_ptr<MemoryObject> ConvertibleMesh(std::shared_ptr<const PolygonMesh> mesh) {
    const std::size_t bytes = mesh->MemoryBytes();
    return MemoryObject::Convertible([mesh] { return ConvertToPatches(*mesh); }, bytes);
}
