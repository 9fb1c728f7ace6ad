// The preview picture of an export set: every patch object tessellated and
// drawn shaded, optionally with its patch edges, seen from one of the file's
// cameras or from a three-quarter view of everything.
//
// The file holds patch objects in their own space and cameras in world
// space, without the node transforms between them; the preview draws both
// as they stand.
#pragma once

#include <cstdint>
#include <vector>

#include "patchio/PatchIO.h"
#include "support/Image.h"
#include "tools/patchtext/Surface.h"

namespace support {
class Percentage;
}  // namespace support

namespace patchtool {

using support::Image;

struct RenderOptions {
    int width = 800;
    int height = 600;
    int steps = 8;      // tessellation steps per patch edge
    bool wire = false;  // draw the patch edges
    // Place the objects side by side along x, in file order, instead of
    // where the file has them (all in their own space, often overlapping).
    bool spread = false;
    std::int32_t camera = -1;  // a camera of the set, or -1 for the three-quarter view
};

struct RenderResult {
    Image image;
    double coverage = 0.0;            // share of the picture that surfaces cover
    std::int64_t skippedPatches = 0;  // patches without a surface
};

// The box around every finite vertex and vector of the set; the surfaces
// lie inside it.
Box3 ControlBox(const PatchIO& set);
Box3 ControlBox(const ExportPatchObject& object);

// Where --spread puts each object: the shift that lines the objects' boxes
// up along x, a tenth of the largest object apart.
std::vector<Vec3> SpreadOffsets(const PatchIO& set);

// Renders set; options.camera must be -1 or a camera of the set. progress,
// when given, advances by one per patch.
RenderResult RenderSet(const PatchIO& set, const RenderOptions& options, support::Percentage* progress = nullptr);

}  // namespace patchtool
