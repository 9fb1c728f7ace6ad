// The readers that users would pick for the same geometry, in the format
// such readers take: every patch object's vertices and vectors as "v"
// lines (the coordinates as the writer prints them, "%f"), its patches as
// "f" faces over their corners. The patch text reader is measured against
// them byte for byte and point for point.
#pragma once

#include <cstdint>
#include <string>

#include "patchio/PatchIO.h"

namespace reference {

// Writes the set's geometry as a Wavefront OBJ file.
bool WriteObj(const PatchIO& set, const char* path);

// What an OBJ reader read: its points and faces.
struct ObjCounts {
    std::int64_t points = 0;
    std::int64_t faces = 0;
    bool ok = false;
};

// tinyobjloader's LoadObj, without triangulation.
ObjCounts ReadTinyObj(const std::string& path);
// assimp's OBJ importer, with no post-processing.
ObjCounts ReadAssimpObj(const std::string& path);

}  // namespace reference
