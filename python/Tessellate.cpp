#include "python/Tessellate.h"

#include <pybind11/numpy.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "surface/Tessellator.h"

namespace gantline {
namespace {

// The mesh keeps a position and a normal per triangle corner; arrays for
// numpy and GPUs want one index per corner, so each distinct pair becomes
// one row.
class Corners {
public:
    explicit Corners(const surface::TriangleMesh& mesh) : mesh_(mesh) {}

    std::int32_t Row(std::int32_t position, std::int32_t normal) {
        const std::uint64_t key =
            static_cast<std::uint64_t>(static_cast<std::uint32_t>(position)) << 32 | static_cast<std::uint32_t>(normal);
        const auto found = rows_.emplace(key, static_cast<std::int32_t>(positions_.size()));
        if (found.second) {
            positions_.push_back(mesh_.Position(position));
            normals_.push_back(mesh_.normals[static_cast<std::size_t>(normal)]);
        }
        return found.first->second;
    }

    py::array Positions() const { return Rows(positions_); }
    py::array Normals() const { return Rows(normals_); }

private:
    static py::array Rows(const std::vector<surface::Vec3>& points) {
        py::array_t<double> out({static_cast<py::ssize_t>(points.size()), py::ssize_t{3}});
        auto rows = out.mutable_unchecked<2>();
        for (py::ssize_t i = 0; i < rows.shape(0); ++i) {
            const surface::Vec3& p = points[static_cast<std::size_t>(i)];
            rows(i, 0) = p.x;
            rows(i, 1) = p.y;
            rows(i, 2) = p.z;
        }
        return std::move(out);
    }

    const surface::TriangleMesh& mesh_;
    std::unordered_map<std::uint64_t, std::int32_t> rows_;
    std::vector<surface::Vec3> positions_;
    std::vector<surface::Vec3> normals_;
};

void WarnSkipped(const std::vector<surface::SkippedPatch>& skipped) {
    if (skipped.empty()) return;
    std::string text = std::to_string(skipped.size()) + (skipped.size() == 1 ? " patch has" : " patches have") +
                       " no surface and " + (skipped.size() == 1 ? "is" : "are") + " left out; patch " +
                       std::to_string(skipped.front().patch) + ": " + skipped.front().reason;
    if (PyErr_WarnEx(PyExc_RuntimeWarning, text.c_str(), 1) != 0) throw py::error_already_set();
}

}  // namespace

py::tuple Tessellate(const ExportPatchObject& object, int steps) {
    if (steps < 1 || steps > kMaxSteps)
        throw py::value_error("steps must be 1 to " + std::to_string(kMaxSteps) + ", not " + std::to_string(steps));
    surface::ObjectMesh out;
    {
        py::gil_scoped_release unlocked;
        out = surface::TessellateObject(object, steps);
    }
    WarnSkipped(out.skipped);
    const surface::TriangleMesh& mesh = out.mesh;
    Corners corners(mesh);
    py::array_t<std::int32_t> triangles({static_cast<py::ssize_t>(mesh.triangles.size()), py::ssize_t{3}});
    auto rows = triangles.mutable_unchecked<2>();
    for (py::ssize_t t = 0; t < rows.shape(0); ++t) {
        const auto& position = mesh.triangles[static_cast<std::size_t>(t)];
        const auto& normal = mesh.triangleNormals[static_cast<std::size_t>(t)];
        for (py::ssize_t c = 0; c < 3; ++c)
            rows(t, c) = corners.Row(position[static_cast<std::size_t>(c)], normal[static_cast<std::size_t>(c)]);
    }
    return py::make_tuple(corners.Positions(), corners.Normals(), triangles);
}

}  // namespace gantline
