#include "tools/patchtext/SceneRender.h"

#include <algorithm>

#include "support/Progress.h"
#include "tools/patchtext/Cores.h"
#include "tools/patchtext/Raster.h"
#include "tools/patchtext/Surface.h"

namespace patchtool {
namespace {

// Pictures up to this many pixels are drawn with 2 x 2 samples per pixel.
constexpr std::int64_t kSupersampledPixels = std::int64_t{4} << 20;

// Object colours, in turn, so that neighbouring objects stand apart.
constexpr Colour kPalette[] = {{0.86f, 0.47f, 0.25f}, {0.31f, 0.55f, 0.85f}, {0.45f, 0.74f, 0.38f},
                               {0.84f, 0.72f, 0.33f}, {0.64f, 0.45f, 0.80f}, {0.33f, 0.74f, 0.74f}};
constexpr Colour kWire{0.08f, 0.08f, 0.10f};
constexpr Colour kBackgroundTop{0.93f, 0.94f, 0.96f};
constexpr Colour kBackgroundBottom{0.78f, 0.80f, 0.84f};

// Draws one batch of an object's tessellation. positions holds the camera-
// space positions of the object so far, by id: a batch's triangles and
// edges may use positions of earlier batches.
void DrawBatch(Framebuffer& frame, const ViewCamera& camera, const ObjectMesh& out, const std::vector<Vec3>& positions,
               Colour colour, bool wire, int steps, int lineWidth) {
    const TriangleMesh& mesh = out.mesh;
    std::vector<Vec3> normals(mesh.normals.size());
    for (std::size_t i = 0; i < normals.size(); ++i) normals[i] = camera.DirectionToCamera(mesh.normals[i]);
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        RasterVertex corners[3];
        for (std::size_t c = 0; c < 3; ++c) {
            corners[c] = {positions[static_cast<std::size_t>(mesh.triangles[t][c])],
                          normals[static_cast<std::size_t>(mesh.triangleNormals[t][c])]};
        }
        frame.Triangle(corners, colour, camera);
    }
    if (!wire) return;
    for (const PatchSamples& patch : out.patches) {
        for (int edge = 0; edge < patch.sides; ++edge) {
            const auto where = EdgeSampleIndices(patch.sides, steps, edge);
            for (std::size_t k = 0; k + 1 < where.size(); ++k) {
                const auto a = static_cast<std::size_t>(patch.vertex[where[k]]);
                const auto b = static_cast<std::size_t>(patch.vertex[where[k + 1]]);
                frame.Line(positions[a], positions[b], kWire, camera, lineWidth);
            }
        }
    }
}

// The three-quarter view of every finite control point; the surfaces lie
// in their convex hull, so they fit too.
ViewCamera ThreeQuarterView(const PatchIO& set, const std::vector<Vec3>& offsets, int width, int height) {
    Box3 box;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const Box3 own = ControlBox(set.PatchObjectAt(i));
        if (!own.Empty())
            box.Add(
                Box3{own.min + offsets[static_cast<std::size_t>(i)], own.max + offsets[static_cast<std::size_t>(i)]});
    }
    if (box.Empty()) return ViewCamera({0, -10, 0}, {0, 0, 0}, width, height);
    ThreeQuarterFit fit(box.Centre(), width, height);
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        const Vec3 offset = offsets[static_cast<std::size_t>(i)];
        for (std::int32_t j = 0; j < object.NumVerts(); ++j)
            if (IsFinite(object.VertAt(j))) fit.Include(Vec3::From(object.VertAt(j)) + offset);
        for (std::int32_t j = 0; j < object.NumVecs(); ++j)
            if (IsFinite(object.VecAt(j))) fit.Include(Vec3::From(object.VecAt(j)) + offset);
    }
    return fit.Camera();
}

}  // namespace

Box3 ControlBox(const ExportPatchObject& object) {
    Box3 box;
    for (std::int32_t j = 0; j < object.NumVerts(); ++j)
        if (IsFinite(object.VertAt(j))) box.Add(Vec3::From(object.VertAt(j)));
    for (std::int32_t j = 0; j < object.NumVecs(); ++j)
        if (IsFinite(object.VecAt(j))) box.Add(Vec3::From(object.VecAt(j)));
    return box;
}

std::vector<Vec3> SpreadOffsets(const PatchIO& set) {
    std::vector<Box3> boxes;
    double largest = 0.0;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        boxes.push_back(ControlBox(set.PatchObjectAt(i)));
        if (!boxes.back().Empty()) largest = std::max(largest, Length(boxes.back().max - boxes.back().min));
    }
    std::vector<Vec3> offsets(boxes.size());
    bool first = true;
    double cursor = 0.0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].Empty()) continue;
        if (first) cursor = boxes[i].min.x;
        offsets[i] = {cursor - boxes[i].min.x, 0, 0};
        cursor += boxes[i].max.x - boxes[i].min.x + 0.1 * largest;
        first = false;
    }
    return offsets;
}

Box3 ControlBox(const PatchIO& set) {
    Box3 box;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) box.Add(ControlBox(set.PatchObjectAt(i)));
    return box;
}

RenderResult RenderSet(const PatchIO& set, const RenderOptions& options, support::Percentage* progress) {
    const int factor = std::int64_t{options.width} * options.height <= kSupersampledPixels ? 2 : 1;
    const int width = options.width * factor, height = options.height * factor;
    const std::vector<Vec3> offsets =
        options.spread ? SpreadOffsets(set) : std::vector<Vec3>(static_cast<std::size_t>(set.NumPatchObjects()));
    const ViewCamera camera = options.camera < 0
                                  ? ThreeQuarterView(set, offsets, width, height)
                                  : ViewCamera(Vec3::From(set.CameraAt(options.camera).position),
                                               Vec3::From(set.CameraAt(options.camera).target), width, height);
    Framebuffer frame(width, height, kBackgroundTop, kBackgroundBottom);
    RenderResult result;
    const surface::PatchDone done = progress ? surface::PatchDone([progress] { progress->Advance(); }) : nullptr;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        const Colour colour = kPalette[static_cast<std::size_t>(i) % (sizeof kPalette / sizeof kPalette[0])];
        const Vec3 offset = offsets[static_cast<std::size_t>(i)];
        std::vector<Vec3> positions;  // of the object so far, in camera space
        const auto draw = [&](const ObjectMesh& out) {
            for (const Vec3& p : out.mesh.positions) positions.push_back(camera.ToCamera(p + offset));
            DrawBatch(frame, camera, out, positions, colour, options.wire, options.steps, factor);
        };
        result.skippedPatches += static_cast<std::int64_t>(
            surface::TessellateInBatches(object, options.steps, draw, done, EveryCore()).size());
    }
    result.image = frame.Resolve(factor);
    result.coverage = frame.CoveredShare();
    return result;
}

}  // namespace patchtool
