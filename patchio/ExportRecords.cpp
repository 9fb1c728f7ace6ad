#include <algorithm>
#include <cstring>

#include "host/HostApi.h"
#include "patchio/PatchIO.h"

namespace {
// Source-file name of this module in assertion reports; report lines are
// fixed numbers that callers and logs know the reports by.
constexpr const char* kSource = "PatchIO";
constexpr int kBadPatchTypeLine = 60;
constexpr int kPatchIndexLine = 227;

// The patch on the far side of an edge, seen from patch self.
std::int32_t Neighbour(const HostPatchEdge& edge, std::int32_t self) {
    if (edge.firstPatch != self) return edge.firstPatch;
    if (edge.secondPatch != self && edge.secondPatch >= 0) return edge.secondPatch;
    return -1;
}
}  // namespace

ExportPatch::ExportPatch(const HostPatch& patch, const HostPatchMesh& mesh, std::int32_t ownIndex) {
    if (patch.type != 3 && patch.type != 4) {
        // Reported; the record stays the default quadrilateral with no
        // indices, so nothing out of range is ever filled.
        assert1(kBadPatchTypeLine, kSource);
        return;
    }
    sides = patch.type;
    for (std::int32_t i = 0; i < sides; ++i) {
        verts[i] = patch.vertIndex[i];
        interior[i] = patch.interiorIndex[i];
        adjacent[i] = Neighbour(mesh.EdgeRecord(patch.edgeIndex[i]), ownIndex);
    }
    for (std::int32_t j = 0; j < 2 * sides; ++j) vecs[j] = patch.vecIndex[j];
}

bool operator==(const ExportPatch& a, const ExportPatch& b) {
    return a.sides == b.sides && std::equal(a.verts, a.verts + 4, b.verts) && std::equal(a.vecs, a.vecs + 8, b.vecs) &&
           std::equal(a.interior, a.interior + 4, b.interior) && std::equal(a.adjacent, a.adjacent + 4, b.adjacent);
}

ExportPatchObject::ExportPatchObject(const HostPatchMesh& mesh) {
    const int numVerts = mesh.VertCount();
    const int numVecs = mesh.VecCount();
    const int numPatches = mesh.PatchCount();
    Reserve(static_cast<std::size_t>(std::max(numVerts, 0)), static_cast<std::size_t>(std::max(numVecs, 0)),
            static_cast<std::size_t>(std::max(numPatches, 0)));
    for (int k = 0; k < numVerts; ++k) AddVert(mesh.VertPoint(k));
    for (int k = 0; k < numVecs; ++k) AddVec(mesh.VecPoint(k));
    for (int k = 0; k < numPatches; ++k) AddPatch(ExportPatch(mesh.PatchRecord(k), mesh, k));
}

const ExportPatch& ExportPatchObject::PatchAt(std::int32_t i) const {
    if (i < 0 || i >= NumPatches()) {
        assert1(kPatchIndexLine, kSource);
        static const ExportPatch none;
        return none;
    }
    return patches[static_cast<std::size_t>(i)];
}

void ExportPatchObject::Reserve(std::size_t numVerts, std::size_t numVecs, std::size_t numPatches) {
    verts.reserve(numVerts);
    vecs.reserve(numVecs);
    patches.reserve(numPatches);
}

std::size_t ExportPatchObject::ContentBytes() const {
    return (verts.size() + vecs.size()) * sizeof(Float3) + patches.size() * sizeof(ExportPatch);
}

// Float3 equality is by value, so -0 and 0 compare equal; objects compare
// their coordinates bit for bit instead, as a round trip must keep them.
bool operator==(const ExportPatchObject& a, const ExportPatchObject& b) {
    auto sameBits = [](const std::vector<Float3>& x, const std::vector<Float3>& y) {
        return x.size() == y.size() && (x.empty() || std::memcmp(x.data(), y.data(), x.size() * sizeof(Float3)) == 0);
    };
    return a.patches == b.patches && sameBits(a.verts, b.verts) && sameBits(a.vecs, b.vecs);
}

void PatchIO::Clear() {
    patchObjects.clear();
    cameras.clear();
}
