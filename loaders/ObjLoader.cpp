#include "loaders/ObjLoader.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <limits>
#include <streambuf>
#include <vector>

#include <tiny_obj_loader.h>

namespace {

// The most face corners a mesh may have: every patch index, vertex index
// and vector index of its conversion (at most nine vectors per corner)
// stays within the host's 32-bit indices.
constexpr std::size_t kMaxCorners = 200'000'000;

// The most corners a polygon mesh keeps in one face; larger faces become
// the fan of triangles that the conversion would make of them.
constexpr std::size_t kMaxSides = 255;

// The reader's vertex-weight statements ("vw vertex joint weight ...") are
// of no use here, and the reader converts a joint number out of int's range
// with undefined behaviour. This view of the stream turns the "w" of a "vw"
// that starts a line into "_", so that the reader skips the line as a
// statement it does not know. Everything else passes unchanged. It also
// notes a bare "f" line, a face without corners, which the reader passes
// over as a statement it does not know.
class WithoutVertexWeights final : public std::streambuf {
public:
    explicit WithoutVertexWeights(std::streambuf* source) : source_(source) {}

    bool SawBareFace() const { return bareFace_; }

protected:
    int_type underflow() override {
        const std::streamsize got = source_->sgetn(block_, sizeof block_);
        if (got <= 0) {
            bareFace_ = bareFace_ || afterLeadingF_;
            return traits_type::eof();
        }
        for (std::streamsize i = 0; i < got; ++i) Pass(block_[i]);
        setg(block_, block_, block_ + got);
        return traits_type::to_int_type(block_[0]);
    }

private:
    void Pass(char& c) {
        if (afterLeadingV_ && c == 'w') c = '_';
        if (afterLeadingF_ && (c == '\n' || c == '\r')) bareFace_ = true;
        afterLeadingV_ = lineStart_ && c == 'v';
        afterLeadingF_ = lineStart_ && c == 'f';
        if (c == '\n' || c == '\r') {
            lineStart_ = true;
        } else if (c != ' ' && c != '\t') {
            lineStart_ = false;
        }
    }

    std::streambuf* source_;
    char block_[4096];
    bool lineStart_ = true;       // only blanks since the line began
    bool afterLeadingV_ = false;  // the last character was a "v" that began a statement
    bool afterLeadingF_ = false;  // the last character was an "f" that began a statement
    bool bareFace_ = false;
};

// The corner count of every face line ("f" and its corners), in file
// order: the reader keeps a face's count in one byte, which wraps for a
// face of more than 255 corners, while it keeps all of their indices.
std::vector<std::size_t> FaceLineCorners(std::istream& in) {
    std::vector<std::size_t> corners;
    for (std::string line; std::getline(in, line);) {
        const std::size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line[at] != 'f' || at + 1 >= line.size() ||
            (line[at + 1] != ' ' && line[at + 1] != '\t'))
            continue;
        std::size_t count = 0;
        for (std::size_t k = at + 1; k < line.size();) {
            k = line.find_first_not_of(" \t\r", k);
            if (k == std::string::npos) break;
            ++count;
            k = line.find_first_of(" \t\r", k);
        }
        corners.push_back(count);
    }
    return corners;
}

std::string FirstLine(const std::string& text) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string line = text.substr(0, end);
    return line.empty() ? std::string("the file could not be read as a Wavefront .obj mesh") : line;
}

bool TakePoints(std::vector<float>& coordinates, const std::string& name, PolygonMesh& mesh, std::string& error) {
    const std::size_t count = coordinates.size() / 3;
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        error = name + ": too many vertices (" + std::to_string(count) + ")";
        return false;
    }
    mesh.points.reserve(count);
    for (std::size_t v = 0; v < count; ++v) {
        const Float3 p{coordinates[3 * v], coordinates[3 * v + 1], coordinates[3 * v + 2]};
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            error = name + ": vertex " + std::to_string(v + 1) + " has a coordinate that is not a finite number";
            return false;
        }
        mesh.points.push_back(p);
    }
    std::vector<float>().swap(coordinates);
    return true;
}

// Checks one face's corner count and vertex indices; error names the face
// by its number in the file (from 1).
bool CheckFace(const tinyobj::mesh_t& source, std::size_t at, std::size_t sides, std::size_t face,
               std::size_t numPoints, const std::string& name, std::string& error) {
    const std::string which = name + ": face " + std::to_string(face);
    if (sides < 3 || at + sides > source.indices.size()) {
        error = which + " has corners that the reader did not keep";
        return false;
    }
    for (std::size_t k = at; k < at + sides; ++k) {
        const int v = source.indices[k].vertex_index;
        if (v < 0 || static_cast<std::size_t>(v) >= numPoints) {
            error = which + " refers to a vertex that does not exist (the file has " + std::to_string(numPoints) +
                    " vertices)";
            return false;
        }
    }
    return true;
}

void AddFace(const tinyobj::mesh_t& source, std::size_t at, std::size_t sides, PolygonMesh& mesh) {
    const auto corner = [&](std::size_t k) { return source.indices[at + k].vertex_index; };
    if (sides <= kMaxSides) {
        for (std::size_t k = 0; k < sides; ++k) mesh.corners.push_back(corner(k));
        mesh.faceSides.push_back(static_cast<std::uint8_t>(sides));
        return;
    }
    for (std::size_t k = 1; k + 1 < sides; ++k) {
        mesh.corners.insert(mesh.corners.end(), {corner(0), corner(k), corner(k + 1)});
        mesh.faceSides.push_back(3);
    }
}

// Whether the reader's corner counts add up to the corners it kept.
bool CountsWhole(const std::vector<tinyobj::shape_t>& shapes) {
    for (const tinyobj::shape_t& shape : shapes) {
        std::size_t sum = 0;
        for (const unsigned char sides : shape.mesh.num_face_vertices) sum += sides;
        if (sum != shape.mesh.indices.size()) return false;
    }
    return true;
}

// sides: every face's corner count in file order, the reader's own where
// they add up, else counted from the file's face lines.
bool TakeFaces(const std::vector<tinyobj::shape_t>& shapes, const std::vector<std::size_t>& sides,
               const std::string& name, PolygonMesh& mesh, std::string& error) {
    std::size_t corners = 0;
    for (const tinyobj::shape_t& shape : shapes) corners += shape.mesh.indices.size();
    if (corners > kMaxCorners) {
        error = name + ": too many face corners (" + std::to_string(corners) + ")";
        return false;
    }
    mesh.corners.reserve(corners);
    mesh.faceSides.reserve(sides.size());
    std::size_t face = 0;
    for (const tinyobj::shape_t& shape : shapes) {
        std::size_t at = 0;
        for (std::size_t f = 0; f < shape.mesh.num_face_vertices.size(); ++f, ++face) {
            const std::size_t n = face < sides.size() ? sides[face] : 0;
            if (!CheckFace(shape.mesh, at, n, face + 1, mesh.points.size(), name, error)) return false;
            AddFace(shape.mesh, at, n, mesh);
            at += n;
        }
        if (at != shape.mesh.indices.size()) {
            error = name + ": the faces' corners do not add up to the corners the reader kept";
            return false;
        }
    }
    return true;
}

// Why a file without faces is refused.
std::string NoFaces(const std::vector<tinyobj::shape_t>& shapes, const std::string& start) {
    const bool utf16 =
        start.size() >= 2 && ((start[0] == '\xFE' && start[1] == '\xFF') || (start[0] == '\xFF' && start[1] == '\xFE'));
    if (utf16) return "the file is UTF-16 text, which the reader does not take (save it as UTF-8)";
    for (const tinyobj::shape_t& shape : shapes)
        if (!shape.lines.indices.empty() || !shape.points.indices.empty())
            return "the file holds only points and lines";
    return "the file holds no faces";
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

bool ReadPolygonMesh(std::istream& in, const std::string& name, PolygonMesh& mesh, std::string& error,
                     const std::function<void(const std::string&)>& warn) {
    mesh = PolygonMesh();
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warnings, errors;
    // No material reader (materials are not used), no triangulation (the
    // conversion splits polygons itself), no made-up vertex colours.
    WithoutVertexWeights filtered(in.rdbuf());
    std::istream statements(&filtered);
    const bool read =
        tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &errors, &statements, nullptr, false, false);
    if (!read || !errors.empty()) {
        error = name + ": " + FirstLine(errors);
        return false;
    }
    // The reader skips a face of fewer than 3 corners with a warning; such a
    // face is malformed, not something to pass over.
    if (warnings.find("Degenerated face") != std::string::npos) {
        error = name + ": a face has fewer than 3 corners";
        return false;
    }
    if (in.bad() || statements.bad()) {
        error = name + ": the file could not be read to its end";
        return false;
    }
    if (filtered.SawBareFace()) {
        error = name + ": a face has fewer than 3 corners";
        return false;
    }
    std::size_t faces = 0, points = 0, lines = 0;
    std::vector<std::size_t> sides;
    for (const tinyobj::shape_t& shape : shapes) {
        faces += shape.mesh.num_face_vertices.size();
        points += shape.points.indices.size();
        lines += shape.lines.num_line_vertices.size();
        sides.insert(sides.end(), shape.mesh.num_face_vertices.begin(), shape.mesh.num_face_vertices.end());
    }
    if (faces == 0) {
        in.clear();
        in.seekg(0);
        std::string start(2, '\0');
        in.read(&start[0], 2);
        start.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
        error = name + ": " + NoFaces(shapes, start);
        return false;
    }
    if (!CountsWhole(shapes)) {
        in.clear();
        in.seekg(0);
        sides = FaceLineCorners(in);
    }
    if (!TakePoints(attrib.vertices, name, mesh, error) || !TakeFaces(shapes, sides, name, mesh, error)) return false;
    if (points + lines > 0 && warn) {
        warn(name + ": left out " + Counted(points, "point", "points") + " and " + Counted(lines, "line", "lines") +
             " (a patch object holds only faces)");
    }
    return true;
}
