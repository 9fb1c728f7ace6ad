// Writes triangle meshes as a Wavefront OBJ: one "o" group per mesh, its
// positions ("v"), unit normals ("vn", one per position) and triangles
// ("f v//vn"), numbered across the whole file as the format wants.
// Coordinates are written as the shortest text that reads back to the same
// 32-bit float.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "tools/patchtext/Tessellator.h"

namespace patchtool {

class ObjWriter {
public:
    explicit ObjWriter(std::ostream& out) : out_(out) {}

    // Comment lines at the top of the file.
    void Comment(const std::string& text);
    void Object(const std::string& name, const TriangleMesh& mesh);

private:
    void Triple(const char* keyword, const Vec3& v);

    std::ostream& out_;
    std::int64_t written_ = 0;  // vertices before the current object
};

}  // namespace patchtool
