#include "scenes/ObjLoader.h"

#include <cmath>
#include <istream>
#include <limits>
#include <streambuf>

#include <tiny_obj_loader.h>

namespace {

// The most face corners a mesh may have: every patch index, vertex index
// and vector index of its conversion (at most nine vectors per corner)
// stays within the host's 32-bit indices.
constexpr std::size_t kMaxCorners = 200'000'000;

// The reader's vertex-weight statements ("vw vertex joint weight ...") are
// of no use here, and the reader converts a joint number out of int's range
// with undefined behaviour. This view of the stream turns the "w" of a "vw"
// that starts a line into "_", so that the reader skips the line as a
// statement it does not know. Everything else passes unchanged.
class WithoutVertexWeights final : public std::streambuf {
public:
    explicit WithoutVertexWeights(std::streambuf* source) : source_(source) {}

protected:
    int_type underflow() override {
        const std::streamsize got = source_->sgetn(block_, sizeof block_);
        if (got <= 0) return traits_type::eof();
        for (std::streamsize i = 0; i < got; ++i) Pass(block_[i]);
        setg(block_, block_, block_ + got);
        return traits_type::to_int_type(block_[0]);
    }

private:
    void Pass(char& c) {
        if (afterLeadingV_ && c == 'w') c = '_';
        afterLeadingV_ = lineStart_ && c == 'v';
        if (c == '\n' || c == '\r') {
            lineStart_ = true;
        } else if (c != ' ' && c != '\t') {
            lineStart_ = false;
        }
    }

    std::streambuf* source_;
    char block_[4096];
    bool lineStart_ = true;      // only blanks since the line began
    bool afterLeadingV_ = false;  // the last character was a "v" that began a statement
};

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
    // The reader drops faces of fewer than 3 corners itself (see
    // ReadPolygonMesh) and keeps a face's corner count in one byte, so a
    // count below 3 or one that overruns the corners is a wrapped one.
    if (sides < 3 || at + sides > source.indices.size()) {
        error = which + " has more than 255 corners, which the reader does not take";
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

bool TakeFaces(const std::vector<tinyobj::shape_t>& shapes, const std::string& name, PolygonMesh& mesh,
               std::string& error) {
    std::size_t corners = 0, faces = 0;
    for (const tinyobj::shape_t& shape : shapes) {
        corners += shape.mesh.indices.size();
        faces += shape.mesh.num_face_vertices.size();
    }
    if (corners > kMaxCorners) {
        error = name + ": too many face corners (" + std::to_string(corners) + ")";
        return false;
    }
    mesh.corners.reserve(corners);
    mesh.faceSides.reserve(faces);
    std::size_t face = 0;
    for (const tinyobj::shape_t& shape : shapes) {
        std::size_t at = 0;
        for (const unsigned char sides : shape.mesh.num_face_vertices) {
            if (!CheckFace(shape.mesh, at, sides, ++face, mesh.points.size(), name, error)) return false;
            for (std::size_t k = at; k < at + sides; ++k) mesh.corners.push_back(shape.mesh.indices[k].vertex_index);
            mesh.faceSides.push_back(sides);
            at += sides;
        }
        // The reader keeps a face's corner count in one byte; corners left
        // over mean a face had more than 255.
        if (at != shape.mesh.indices.size()) {
            error = name + ": a face has more than 255 corners, which the reader does not take";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadPolygonMesh(std::istream& in, const std::string& name, PolygonMesh& mesh, std::string& error) {
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
    return TakePoints(attrib.vertices, name, mesh, error) && TakeFaces(shapes, name, mesh, error);
}
