#include "loaders/ImportedMesh.h"

#include <assimp/mesh.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// The most face corners a joined mesh may have: every patch index, vertex
// index and vector index of its conversion (at most nine vectors per
// corner) stays within the host's 32-bit indices.
constexpr std::size_t kMaxCorners = 200'000'000;
// The most corners a polygon mesh keeps in one face.
constexpr unsigned kMaxSides = 255;

std::uint32_t Bits(float value) {
    const float positiveZero = value + 0.0f;  // -0 + 0 is +0: one position, one hash
    std::uint32_t bits;
    std::memcpy(&bits, &positiveZero, sizeof bits);
    return bits;
}

std::uint32_t Hash(const Float3& p) {
    std::uint32_t h = Bits(p.x) * 0x9E3779B1u;
    h ^= (Bits(p.y) * 0x85EBCA77u) + 0x7F4A7C15u + (h << 6) + (h >> 2);
    h ^= (Bits(p.z) * 0xC2B2AE3Du) + 0x165667B1u + (h << 6) + (h >> 2);
    h ^= h >> 16;  // the high bits into the low ones that pick the slot
    h *= 0x85EBCA6Bu;
    return h ^ (h >> 13);
}

// Welds positions by value: an open-addressed table, at most half full, of
// point numbers with their positions' hashes beside them, so that a probe
// reads a point only when the hashes match.
class PositionWeld {
public:
    PositionWeld() { Resize(kFirstSize); }

    std::int32_t Add(const Float3& p, std::vector<Float3>& points) {
        const std::uint32_t hash = Hash(p);
        std::uint64_t& recent = recent_[hash & (kRecent - 1)];
        if (recent != kEmpty && (recent >> 32) == hash && Same(points, recent, p)) {
            return static_cast<std::int32_t>(recent & 0xFFFFFFFFu);
        }
        const std::int32_t point = Find(hash, p, points);
        recent = (std::uint64_t{hash} << 32) | static_cast<std::uint32_t>(point);
        return point;
    }

private:
    // No point number has all 32 bits set (they stay below 2^31).
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    // Positions recently met, by hash: meshes name a position again soon
    // (the corners of neighbouring faces), and this small table stays in
    // the cache where the large one does not.
    static constexpr std::size_t kRecent = 4096;
    // The table's first size; it grows as positions come.
    static constexpr std::size_t kFirstSize = 1024;

    static bool Same(const std::vector<Float3>& points, std::uint64_t slot, const Float3& p) {
        const Float3& q = points[static_cast<std::size_t>(slot & 0xFFFFFFFFu)];
        return q.x == p.x && q.y == p.y && q.z == p.z;
    }

    // Doubles the table, keeping every entry (their hashes are in them).
    void Resize(std::size_t size) {
        std::vector<std::uint64_t> old(size, kEmpty);
        old.swap(slots_);
        mask_ = size - 1;
        for (const std::uint64_t slot : old) {
            if (slot == kEmpty) continue;
            std::size_t at = (slot >> 32) & mask_;
            while (slots_[at] != kEmpty) at = (at + 1) & mask_;
            slots_[at] = slot;
        }
    }

    std::int32_t Find(std::uint32_t hash, const Float3& p, std::vector<Float3>& points) {
        for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
            std::uint64_t& slot = slots_[at];
            if (slot == kEmpty) {
                if (2 * (points.size() + 1) > slots_.size()) {
                    Resize(2 * slots_.size());  // at most half full
                    return Find(hash, p, points);
                }
                const auto point = static_cast<std::int32_t>(points.size());
                slot = (std::uint64_t{hash} << 32) | static_cast<std::uint32_t>(point);
                points.push_back(p);
                return point;
            }
            if ((slot >> 32) == hash && Same(points, slot, p)) return static_cast<std::int32_t>(slot & 0xFFFFFFFFu);
        }
    }

    std::vector<std::uint64_t> recent_ = std::vector<std::uint64_t>(kRecent, kEmpty);
    std::vector<std::uint64_t> slots_;
    std::size_t mask_ = 0;
};

std::string MeshName(const aiMesh& mesh) { return std::string("mesh \"") + mesh.mName.C_Str() + "\""; }

// Counts what the meshes hold and makes room for their faces.
bool CheckSizes(const std::vector<const aiMesh*>& meshes, std::size_t& positions, PolygonMesh& out,
                std::string& error) {
    std::size_t corners = 0, faces = 0;
    positions = 0;
    for (const aiMesh* mesh : meshes) {
        positions += mesh->mNumVertices;
        if (mesh->mNumVertices > 0 && !mesh->mVertices) {
            error = MeshName(*mesh) + " has no positions";
            return false;
        }
        if (mesh->mNumFaces > 0 && !mesh->mFaces) {
            error = MeshName(*mesh) + " has no faces";
            return false;
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) corners += mesh->mFaces[f].mNumIndices;
        faces += mesh->mNumFaces;
    }
    if (corners > kMaxCorners || positions > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error = "too large: " + std::to_string(positions) + " positions, " + std::to_string(corners) + " corners";
        return false;
    }
    out.corners.reserve(corners);  // points and lines, left out, leave some unused
    out.faceSides.reserve(faces);
    return true;
}

// The welded point of each of mesh's vertices.
bool WeldPositions(const aiMesh& mesh, PositionWeld& weld, PolygonMesh& out, std::vector<std::int32_t>& welded,
                   std::string& error) {
    welded.resize(mesh.mNumVertices);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        const aiVector3D& source = mesh.mVertices[v];
        const Float3 p{source.x, source.y, source.z};
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            error = MeshName(mesh) + ": vertex " + std::to_string(v) + " has a coordinate that is not a finite number";
            return false;
        }
        welded[v] = weld.Add(p, out.points);
    }
    return true;
}

bool TakeFaces(const aiMesh& mesh, const std::vector<std::int32_t>& welded, JoinedMesh& joined, std::string& error) {
    PolygonMesh& out = joined.mesh;
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices < 3) {
            ++(face.mNumIndices == 2 ? joined.lines : joined.points);
            continue;
        }
        if (!face.mIndices) {
            error = MeshName(mesh) + ": face " + std::to_string(f) + " has no corners";
            return false;
        }
        for (unsigned k = 0; k < face.mNumIndices; ++k) {
            if (face.mIndices[k] >= mesh.mNumVertices) {
                error = MeshName(mesh) + ": face " + std::to_string(f) + " refers to vertex " +
                        std::to_string(face.mIndices[k]) + " of " + std::to_string(mesh.mNumVertices);
                return false;
            }
        }
        auto corner = [&](unsigned k) { return welded[face.mIndices[k]]; };
        if (face.mNumIndices <= kMaxSides) {
            for (unsigned k = 0; k < face.mNumIndices; ++k) out.corners.push_back(corner(k));
            out.faceSides.push_back(static_cast<std::uint8_t>(face.mNumIndices));
            continue;
        }
        for (unsigned k = 1; k + 1 < face.mNumIndices; ++k) {
            out.corners.insert(out.corners.end(), {corner(0), corner(k), corner(k + 1)});
            out.faceSides.push_back(3);
        }
    }
    return true;
}

}  // namespace

bool JoinMeshes(const std::vector<const aiMesh*>& meshes, JoinedMesh& joined, std::string& error) {
    joined = JoinedMesh();
    std::size_t positions = 0;
    if (!CheckSizes(meshes, positions, joined.mesh, error)) return false;
    PositionWeld weld;
    std::vector<std::int32_t> welded;
    for (const aiMesh* mesh : meshes) {
        if (!WeldPositions(*mesh, weld, joined.mesh, welded, error)) return false;
        if (!TakeFaces(*mesh, welded, joined, error)) return false;
    }
    joined.mesh.points.shrink_to_fit();
    return true;
}
