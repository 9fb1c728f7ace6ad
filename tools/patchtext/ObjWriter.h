// Writes triangle meshes as a Wavefront OBJ: one "o" group per mesh, its
// positions ("v"), unit normals ("vn") and triangles
// ("f v//vn"), numbered across the whole file as the format wants. A
// position may carry different normals in different triangles (a crease).
// Coordinates are written as the shortest text that reads back to the same
// 32-bit float.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "tools/patchtext/Surface.h"

namespace patchtool {

class ObjWriter {
public:
    explicit ObjWriter(std::ostream& out) : out_(out) {}

    // Comment lines at the top of the file.
    void Comment(const std::string& text);
    // Starts the group of the next object.
    void BeginObject(const std::string& name);
    // Writes a batch of the current object's mesh (see Tessellation): its
    // new positions, its normals and its triangles.
    void Batch(const TriangleMesh& mesh);
    // Both at once, for a mesh held whole.
    void Object(const std::string& name, const TriangleMesh& mesh);

private:
    void Triple(const char* keyword, const Vec3& v);

    std::ostream& out_;
    std::int64_t positionsWritten_ = 0;
    std::int64_t normalsWritten_ = 0;
    std::int64_t objectBase_ = 0;  // positions written before the current object
};

}  // namespace patchtool
