#include "python/Tessellate.h"

#include <pybind11/numpy.h>

#include <string>
#include <vector>

#include "surface/CornerVertices.h"
#include "surface/Tessellator.h"

namespace gantline {
namespace {

py::array Rows(const std::vector<surface::Vec3>& points) {
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
    // One row per distinct (position, normal) pair of the triangle corners.
    surface::CornerVertices corners;
    corners.Add(out.mesh);
    const std::vector<std::uint32_t>& indices = corners.Indices();
    py::array_t<std::int32_t> triangles({static_cast<py::ssize_t>(indices.size() / 3), py::ssize_t{3}});
    auto rows = triangles.mutable_unchecked<2>();
    for (py::ssize_t t = 0; t < rows.shape(0); ++t)
        for (py::ssize_t c = 0; c < 3; ++c) rows(t, c) = static_cast<std::int32_t>(indices[static_cast<std::size_t>(3 * t + c)]);
    return py::make_tuple(Rows(corners.Positions()), Rows(corners.Normals()), triangles);
}

}  // namespace gantline
