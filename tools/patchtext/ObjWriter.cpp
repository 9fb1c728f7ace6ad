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

void ObjWriter::Object(const std::string& name, const TriangleMesh& mesh) {
    out_ << "o " << name << '\n';
    for (const Vec3& p : mesh.positions) Triple("v", p);
    for (const Vec3& n : mesh.normals) Triple("vn", n);
    for (const auto& t : mesh.triangles) {
        std::string line = "f";
        for (const std::int32_t corner : t) {
            const std::int64_t number = written_ + corner + 1;
            line.push_back(' ');
            AppendInt(line, number);
            line += "//";
            AppendInt(line, number);
        }
        line.push_back('\n');
        out_ << line;
    }
    written_ += static_cast<std::int64_t>(mesh.positions.size());
}

}  // namespace patchtool
