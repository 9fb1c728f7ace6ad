// What `patchtext info` tells about an export set: per patch object its
// counts, open edges and bounding box; per camera its position, target and
// distance. As text for people and as JSON for scripts.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "patchio/PatchIO.h"
#include "tools/patchtext/Surface.h"

namespace patchtool {

struct ObjectInfo {
    std::int64_t vertices = 0, vectors = 0, triangular = 0, quadrilateral = 0;
    std::int64_t openEdges = 0;  // patch edges with no neighbour (ADJACENT -1)
    Box3 box;                    // of the finite vertices and vectors
};

struct CameraInfo {
    Vec3 position, target;
    double distance = 0.0;
};

struct SetInfo {
    std::string versionText;
    std::vector<ObjectInfo> objects;
    std::vector<CameraInfo> cameras;
};

SetInfo DescribeSet(const PatchIO& set, const std::string& versionText);
// "2 patch objects, 12 vertices, ..., 1 camera": the line check shows first.
std::string DescribeCounts(const SetInfo& info);

void PrintInfo(std::ostream& out, const std::string& path, const SetInfo& info);
nlohmann::ordered_json InfoJson(const std::string& path, const SetInfo& info);

// The shortest text that reads back as the same 32-bit float.
std::string NumberText(double value);

}  // namespace patchtool
