#include "gltf/MeshAssembler.h"

#include <utility>

namespace gltf {
namespace {

std::vector<float> Floats(const std::vector<surface::Vec3>& points) {
    std::vector<float> out;
    out.reserve(3 * points.size());
    for (const surface::Vec3& p : points) {
        out.push_back(static_cast<float>(p.x));
        out.push_back(static_cast<float>(p.y));
        out.push_back(static_cast<float>(p.z));
    }
    return out;
}

}  // namespace

void MeshAssembler::Add(const surface::TriangleMesh& batch) { corners_.Add(batch); }

MeshData MeshAssembler::Take(const std::string& name) {
    MeshData mesh;
    mesh.name = name;
    mesh.positions = Floats(corners_.Positions());
    mesh.normals = Floats(corners_.Normals());
    mesh.indices = corners_.Indices();
    corners_ = surface::CornerVertices();
    return mesh;
}

}  // namespace gltf
