#include "python/Arrays.h"

#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

namespace gantline {
namespace {

// The views rely on the records being plain runs of 32-bit numbers.
static_assert(std::is_standard_layout_v<Float3> && sizeof(Float3) == 3 * sizeof(float), "Float3 is three floats");
static_assert(std::is_standard_layout_v<ExportPatch> && std::is_trivially_copyable_v<ExportPatch> &&
                  sizeof(ExportPatch) == kPatchColumns * sizeof(std::int32_t) &&
                  offsetof(ExportPatch, verts) == 1 * sizeof(std::int32_t) &&
                  offsetof(ExportPatch, vecs) == 5 * sizeof(std::int32_t) &&
                  offsetof(ExportPatch, interior) == 13 * sizeof(std::int32_t) &&
                  offsetof(ExportPatch, adjacent) == 17 * sizeof(std::int32_t),
              "ExportPatch is 21 consecutive int32");
static_assert(std::is_standard_layout_v<ExportCamera> && sizeof(ExportCamera) == 2 * sizeof(Float3) &&
                  offsetof(ExportCamera, target) == sizeof(Float3),
              "ExportCamera is two Float3");

using Shape = std::vector<py::ssize_t>;

template <typename T>
py::array View(T* data, Shape shape, py::handle owner) {
    // With no element there is no memory to share; numpy makes its own.
    if (shape[0] == 0) return py::array_t<T>(shape);
    return py::array_t<T>(shape, data, owner);
}

std::string ShapeText(const py::array& a) {
    std::string text = "(";
    for (py::ssize_t d = 0; d < a.ndim(); ++d) text += (d ? ", " : "") + std::to_string(a.shape(d));
    return text + (a.ndim() == 1 ? ",)" : ")");
}

// value as an array whose dtype is of one of kinds (numpy's letters), with
// the given trailing dimensions; None is an empty one.
py::array Checked(py::handle value, const char* name, const char* kinds, const Shape& tail) {
    Shape empty{0};
    empty.insert(empty.end(), tail.begin(), tail.end());
    if (value.is_none()) return py::array_t<float>(empty);
    const py::array a = py::module_::import("numpy").attr("asarray")(value);
    const char kind = a.dtype().kind();
    if (std::strchr(kinds, kind) == nullptr || kind == '\0')
        throw py::type_error(std::string(name) + " must hold " + (std::strchr(kinds, 'f') ? "real numbers" : "integers") +
                             ", not " + py::str(a.dtype()).cast<std::string>());
    bool fits = a.ndim() == static_cast<py::ssize_t>(tail.size()) + 1;
    for (std::size_t d = 0; fits && d < tail.size(); ++d) fits = a.shape(static_cast<py::ssize_t>(d) + 1) == tail[d];
    // An empty list of any shape is an empty list.
    if (!fits && a.size() != 0) {
        std::string want = "(n";
        for (const py::ssize_t t : tail) want += ", " + std::to_string(t);
        throw py::value_error(std::string(name) + " must have shape " + want + "), not " + ShapeText(a));
    }
    return fits ? a : py::array(py::array_t<float>(empty));
}

template <typename T>
using Dense = py::array_t<T, py::array::c_style | py::array::forcecast>;

void FillPoints(const py::array& points, void (ExportPatchObject::*add)(const Float3&), ExportPatchObject& object) {
    // The converted array is held while its rows are read.
    const Dense<float> dense = Dense<float>::ensure(points);
    const auto rows = dense.template unchecked<2>();
    for (py::ssize_t i = 0; i < rows.shape(0); ++i) (object.*add)(Float3(rows(i, 0), rows(i, 1), rows(i, 2)));
}

}  // namespace

py::array PointsView(Float3* data, std::int32_t count, py::handle owner) {
    return View(reinterpret_cast<float*>(data), {count, 3}, owner);
}

py::array PatchesView(ExportPatch* data, std::int32_t count, py::handle owner) {
    return View(reinterpret_cast<std::int32_t*>(data), {count, static_cast<py::ssize_t>(kPatchColumns)}, owner);
}

py::array CamerasView(ExportCamera* data, std::int32_t count, py::handle owner) {
    return View(reinterpret_cast<float*>(data), {count, 2, 3}, owner);
}

ExportPatchObject PatchObjectFrom(py::handle verts, py::handle vecs, py::handle patches) {
    const py::array v = Checked(verts, "verts", "fiu", {3});
    const py::array w = Checked(vecs, "vecs", "fiu", {3});
    const py::array p = Checked(patches, "patches", "iu", {static_cast<py::ssize_t>(kPatchColumns)});
    const Dense<std::int64_t> dense = Dense<std::int64_t>::ensure(p);
    const auto rows = dense.unchecked<2>();
    ExportPatchObject object;
    object.Reserve(static_cast<std::size_t>(v.shape(0)), static_cast<std::size_t>(w.shape(0)),
                   static_cast<std::size_t>(p.shape(0)));
    FillPoints(v, &ExportPatchObject::AddVert, object);
    FillPoints(w, &ExportPatchObject::AddVec, object);
    for (py::ssize_t k = 0; k < rows.shape(0); ++k) {
        std::int32_t row[kPatchColumns];
        for (std::size_t c = 0; c < kPatchColumns; ++c) {
            const std::int64_t n = rows(k, static_cast<py::ssize_t>(c));
            if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max())
                throw py::value_error("patches[" + std::to_string(k) + ", " + std::to_string(c) + "] is " +
                                      std::to_string(n) + ", outside 32-bit integers");
            row[c] = static_cast<std::int32_t>(n);
        }
        // The reader takes only these two; a file with another would not read back.
        if (row[0] != 3 && row[0] != 4)
            throw py::value_error("patches[" + std::to_string(k) + ", 0] (sides) is " + std::to_string(row[0]) +
                                  ", not 3 or 4");
        ExportPatch patch;
        std::memcpy(&patch, row, sizeof patch);
        object.AddPatch(patch);
    }
    return object;
}

py::array CamerasFrom(py::handle cameras) {
    const py::array c = Checked(cameras, "cameras", "fiu", {2, 3});
    return Dense<float>::ensure(c);
}

std::vector<ExportCamera> CameraRecords(const py::array& cameras) {
    const auto rows = Dense<float>::ensure(cameras).unchecked<3>();
    std::vector<ExportCamera> records(static_cast<std::size_t>(rows.shape(0)));
    for (py::ssize_t m = 0; m < rows.shape(0); ++m) {
        records[static_cast<std::size_t>(m)].position = Float3(rows(m, 0, 0), rows(m, 0, 1), rows(m, 0, 2));
        records[static_cast<std::size_t>(m)].target = Float3(rows(m, 1, 0), rows(m, 1, 1), rows(m, 1, 2));
    }
    return records;
}

}  // namespace gantline
