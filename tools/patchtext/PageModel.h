// What the page of patchtext view is given: per patch object its shaded
// mesh (tessellated as to-gltf does), the sampled patch borders, the open
// edges and the control net; per camera its position, target and to-gltf's
// pose. Written into the page as JSON whose arrays are little-endian binary,
// base64 encoded (see PageJson).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gltf/CameraPose.h"
#include "gltf/MeshAssembler.h"
#include "patchio/PatchIO.h"
#include "tools/patchtext/Commands.h"
#include "tools/patchtext/FileInfo.h"

namespace patchtool {

struct PageObject {
    std::string name;
    ObjectInfo info;
    std::int64_t skipped = 0;  // patches without a surface, not drawn
    Vec3 spreadOffset;         // where render --spread moves it
    gltf::MeshData mesh;
    // The object's tessellated positions, 3 floats each; the line lists
    // below are pairs of numbers of these.
    std::vector<float> points;
    std::vector<std::uint32_t> borders;    // every patch edge once, sampled
    std::vector<std::uint32_t> openEdges;  // the edges whose ADJACENT is -1
    // The control net: the vertices, then the vectors, 3 floats each (0 for
    // a coordinate that is not finite, which no list below names).
    std::vector<float> netPoints;
    std::vector<std::uint32_t> netLines;     // pairs: corner to handle, corner to interior vector
    std::vector<std::uint32_t> netVerts;     // the finite vertices
    std::vector<std::uint32_t> netVecs;      // the handles of the patch edges
    std::vector<std::uint32_t> netInterior;  // the interior vectors
};

struct PageCamera {
    Vec3 position, target;
    bool posed = false;  // false when a coordinate is not finite: listed, not drawn
    gltf::CameraPose pose;
};

struct PageModel {
    std::string file;  // the name shown, without its folder
    std::string versionText;
    int steps = kDefaultSteps;
    std::vector<PageObject> objects;
    std::vector<PageCamera> cameras;
};

// A lower bound of the page's model bytes for set at steps, known before
// tessellating: the samples inside the patches, which no two patches share.
std::int64_t PageModelLowerBound(const PatchIO& set, int steps);

// Tessellates every object of set (read from path) and gathers the rest;
// progress advances a patch at a time, patches without a surface are
// reported on console.err as the converters do.
PageModel BuildPageModel(const PatchIO& set, const std::string& path, const std::string& versionText, int steps,
                         support::Percentage& progress, Console& console);

// The model as one line of JSON, with "<" written as \u003c so that it
// can stand inside a <script> element.
std::string PageJson(const PageModel& model);

// RFC 4648 base64 of bytes, with padding.
std::string Base64(const unsigned char* bytes, std::size_t count);

}  // namespace patchtool
