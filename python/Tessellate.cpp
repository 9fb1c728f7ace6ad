#include "python/Tessellate.h"

#include <pybind11/numpy.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"
#include "python/Instances.h"
#include "python/Signals.h"
#include "surface/CornerVertices.h"
#include "surface/Tessellator.h"

namespace gantline {
namespace {

// What numpy is handed: a row per distinct (position, normal) pair of the
// triangle corners, three rows per triangle, and the patches left out.
struct Rows {
    std::vector<surface::Vec3> positions;
    std::vector<surface::Vec3> normals;
    std::vector<std::array<std::int32_t, 3>> triangles;
    std::vector<surface::SkippedPatch> skipped;
};

Rows Corners(const surface::ObjectMesh& out) {
    surface::CornerVertices corners;
    corners.Add(out.mesh);
    Rows rows;
    rows.skipped = out.skipped;
    rows.positions = corners.Positions();
    rows.normals = corners.Normals();
    const std::vector<std::uint32_t>& indices = corners.Indices();
    rows.triangles.resize(indices.size() / 3);
    for (std::size_t t = 0; t < rows.triangles.size(); ++t)
        for (std::size_t c = 0; c < 3; ++c) rows.triangles[t][c] = static_cast<std::int32_t>(indices[3 * t + c]);
    return rows;
}

// An (n, columns) array over the elements of a vector it takes over.
template <typename T, typename Element>
py::array Owned(std::vector<Element> elements, py::ssize_t columns) {
    static_assert(sizeof(Element) == 3 * sizeof(T), "three numbers per element");
    auto held = std::make_unique<std::vector<Element>>(std::move(elements));
    const auto n = static_cast<py::ssize_t>(held->size());
    if (n == 0) return py::array_t<T>({n, columns});
    T* data = reinterpret_cast<T*>(held->data());
    const py::capsule owner(
        held.get(), [](void* p) { std::unique_ptr<std::vector<Element>> drop(static_cast<std::vector<Element>*>(p)); });
    static_cast<void>(held.release());
    return py::array_t<T>({n, columns}, data, owner);
}

void WarnSkipped(const std::vector<surface::SkippedPatch>& skipped) {
    if (skipped.empty()) return;
    std::string text = std::to_string(skipped.size()) + (skipped.size() == 1 ? " patch has" : " patches have") +
                       " no surface and " + (skipped.size() == 1 ? "is" : "are") + " left out; patch " +
                       std::to_string(skipped.front().patch) + ": " + skipped.front().reason;
    if (PyErr_WarnEx(PyExc_RuntimeWarning, text.c_str(), 1) != 0) throw py::error_already_set();
}

}  // namespace

py::tuple Tessellate(py::handle objectHandle, int steps) {
    const ExportPatchObject& object = Made<ExportPatchObject>(objectHandle, "patch_object");
    if (steps < 1 || steps > kMaxSteps)
        throw py::value_error("steps must be 1 to " + std::to_string(kMaxSteps) + ", not " + std::to_string(steps));
    SignalCheck signals;
    Rows rows = Unlocked(signals, [&] {
        return Corners(surface::TessellateObject(object, steps, [&] { signals.ThrowIfInterrupted(); }));
    });
    WarnSkipped(rows.skipped);
    return py::make_tuple(Owned<double>(std::move(rows.positions), 3), Owned<double>(std::move(rows.normals), 3),
                          Owned<std::int32_t>(std::move(rows.triangles), 3));
}

}  // namespace gantline
