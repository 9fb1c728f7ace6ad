// An export set as a glTF 2.0 scene in one call, for engines and tools:
// every patch object tessellated into a mesh, every camera that can be
// posed as a perspective camera node (see SceneWriter.h for the layout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "gltf/SceneWriter.h"
#include "patchio/PatchIO.h"
#include "surface/Tessellator.h"

namespace gltf {

// What the scene came to, and what it left out.
struct ExportSetSummary {
    std::size_t vertices = 0, triangles = 0, cameras = 0;
    // Per patch object, the patches without a surface, left out.
    std::vector<std::vector<surface::SkippedPatch>> skipped;
    // The cameras with a coordinate that is not finite, left out.
    std::vector<std::int32_t> camerasLeftOut;
};

// What a caller may add: the asset's generator text, a call after every
// patch tessellated (for progress), and threads to evaluate patches on
// (the scene is the same however many there are).
struct ExportSetOptions {
    std::string generator = "Gantline";
    surface::PatchDone patchDone;
    surface::ForEach forEach;
};

// Writes set as a glTF scene to out, steps (1 or more) intervals per patch
// edge. Answers false with why when the scene cannot be stated (a .glb
// beyond 4 GiB, steps below 1); the stream's state tells of write failures.
bool WriteExportSet(const PatchIO& set, std::ostream& out, Container container, int steps, std::string* why);
// The same with options, filling summary when given.
bool WriteExportSet(const PatchIO& set, std::ostream& out, Container container, int steps, std::string* why,
                    const ExportSetOptions& options, ExportSetSummary* summary);

}  // namespace gltf
