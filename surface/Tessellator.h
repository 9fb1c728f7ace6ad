// Turns the patches of one patch object into a welded triangle mesh.
//
// Every patch is sampled on a regular grid of steps intervals per edge. The
// points on a patch's edges come from the edge's own four control points,
// evaluated in one canonical direction (the lexicographically smaller of the
// two orders of the control points' bit patterns), so two patches that share
// an edge compute bit-identical points for it and use the same vertices:
// the mesh has no cracks. Corners with bit-identical coordinates are one
// vertex; an edge whose four control points coincide (the pole of a lid)
// collapses onto its corner.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"
#include "surface/Vec3.h"

namespace surface {

// Positions are shared wherever patches meet; normals are shared where the
// surface is smooth there and kept apart at creases (within 35 degrees they
// are averaged).
// Position ids count through the whole object; a mesh holds the positions
// from firstPosition on (all of them unless it is a later batch).
struct TriangleMesh {
    std::int32_t firstPosition = 0;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;                                 // unit length
    std::vector<std::array<std::int32_t, 3>> triangles;        // position ids, counter-clockwise about the normal
    std::vector<std::array<std::int32_t, 3>> triangleNormals;  // the normal at each corner

    const Vec3& Position(std::int32_t id) const { return positions[static_cast<std::size_t>(id - firstPosition)]; }
};

// Where the samples of one patch went. Quads: (steps+1)^2 samples, row t
// by row t, s running fastest (index r * (steps+1) + c at s = c/steps,
// t = r/steps). Triangles: rows b = 0..steps of samples a = 0..steps-b
// (see TriSampleIndex).
struct PatchSamples {
    std::int32_t patch = 0;
    int sides = 4;
    std::vector<std::int32_t> vertex;  // position per sample
    std::vector<std::int32_t> normal;  // normal per sample
};

struct SkippedPatch {
    std::int32_t patch = 0;
    std::string reason;
};

struct ObjectMesh {
    TriangleMesh mesh;
    std::vector<PatchSamples> patches;  // for the patches that have a surface
    std::vector<SkippedPatch> skipped;  // those that have none
};

std::size_t TriSampleIndex(int steps, int a, int b);
std::size_t SampleCount(int sides, int steps);

// The sample indices, in order, along edge i of a patch with the given
// sides, from its corner i to corner i+1.
std::vector<std::size_t> EdgeSampleIndices(int sides, int steps, int edge);

class Welder;
class NormalClusters;

// Runs job(0) to job(count - 1) and returns when all have run, in any order
// and on any threads; each job touches only its own result. Empty: one by
// one on the caller's thread. (The tools hand in one that uses every core.)
using ForEach = std::function<void(std::int32_t count, const std::function<void(std::int32_t)>& job)>;

// Called once for every patch tessellated, for a caller that shows progress.
using PatchDone = std::function<void()>;

// Tessellates the patches of one object one by one, handing the result out
// in batches: a batch holds the positions that are new in it, but its
// triangles may use positions of earlier batches (shared edges and
// corners). An edge is held only until its second patch has come, so memory
// follows the open front of the surface, not its size.
class Tessellation {
public:
    explicit Tessellation(int steps);
    ~Tessellation();
    Tessellation(const Tessellation&) = delete;
    Tessellation& operator=(const Tessellation&) = delete;

    void AddPatch(const ExportPatchObject& object, std::int32_t patch);
    // Adds the patches from first to end (not included) in order: their
    // surfaces are evaluated through forEach, then welded one by one in
    // patch order, so the result is AddPatch's for each whatever forEach
    // does. done is called after each.
    void AddPatches(const ExportPatchObject& object, std::int32_t first, std::int32_t end, const ForEach& forEach,
                    const PatchDone& done);
    ObjectMesh TakeBatch();

private:
    int steps_;
    std::unique_ptr<Welder> welder_;
    std::unique_ptr<NormalClusters> normals_;
    ObjectMesh batch_;
};

// Tessellates object with steps (1 or more) intervals per patch edge.
ObjectMesh TessellateObject(const ExportPatchObject& object, int steps, const PatchDone& done = nullptr);
// Patches of one object tessellated before a batch is handed out, so that
// what a caller holds stays small whatever the object's size.
constexpr std::int32_t kPatchesPerBatch = 4096;

// Tessellates object through one Tessellation, handing each batch of
// kPatchesPerBatch patches (the last one smaller) to take in patch order.
// The batches' positions and triangles together are TessellateObject's; a
// point where two batches meet has a normal of each batch (the same where
// the surface is smooth). Answers the patches left out for want of a
// surface. The one way the tools tessellate.
using TakeBatch = std::function<void(const ObjectMesh&)>;
std::vector<SkippedPatch> TessellateInBatches(const ExportPatchObject& object, int steps, const TakeBatch& take,
                                              const PatchDone& done = nullptr, const ForEach& forEach = nullptr);
// The same for count patches from first on, welded among themselves only.
// Edge points are still evaluated canonically, so batches that meet share
// bit-identical points.
ObjectMesh TessellatePatches(const ExportPatchObject& object, std::int32_t first, std::int32_t count, int steps,
                             const PatchDone& done = nullptr);

}  // namespace surface
