#include "tools/patchtext/ObjWriter.h"

#include <charconv>

namespace patchtool {
namespace {

// Appends the shortest round-trip text of value as a 32-bit float.
void AppendFloat(std::string& line, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    line.append(buffer, result.ptr);
}

void AppendInt(std::string& line, std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    line.append(buffer, result.ptr);
}

}  // namespace

void ObjWriter::Comment(const std::string& text) { out_ << "# " << text << '\n'; }

void ObjWriter::Triple(const char* keyword, const Vec3& v) {
    std::string line = keyword;
    for (const double c : {v.x, v.y, v.z}) {
        line.push_back(' ');
        AppendFloat(line, c);
    }
    line.push_back('\n');
    out_ << line;
}

void ObjWriter::BeginObject(const std::string& name) {
    out_ << "o " << name << '\n';
    objectBase_ = positionsWritten_;
}

void ObjWriter::Batch(const TriangleMesh& mesh) {
    for (const Vec3& p : mesh.positions) Triple("v", p);
    for (const Vec3& n : mesh.normals) Triple("vn", n);
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        std::string line = "f";
        for (std::size_t corner = 0; corner < 3; ++corner) {
            line.push_back(' ');
            AppendInt(line, objectBase_ + mesh.triangles[t][corner] + 1);
            line += "//";
            AppendInt(line, normalsWritten_ + mesh.triangleNormals[t][corner] + 1);
        }
        line.push_back('\n');
        out_ << line;
    }
    positionsWritten_ += static_cast<std::int64_t>(mesh.positions.size());
    normalsWritten_ += static_cast<std::int64_t>(mesh.normals.size());
}

void ObjWriter::Object(const std::string& name, const TriangleMesh& mesh) {
    BeginObject(name);
    Batch(mesh);
}

}  // namespace patchtool
