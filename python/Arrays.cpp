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
static_assert(std::is_trivially_copyable_v<Float3> && std::is_trivially_copyable_v<ExportCamera>,
              "records copy as bytes");

using Shape = std::vector<py::ssize_t>;

template <typename T>
py::array View(T* data, Shape shape, py::handle owner) {
    // With no element there is no memory to share; numpy makes its own.
    if (shape[0] == 0) return py::array_t<T>(shape);
    return py::array_t<T>(shape, data, owner);
}

py::module_ Numpy() { return py::module_::import("numpy"); }

py::tuple TupleOf(const Shape& shape) {
    py::tuple t(shape.size());
    for (std::size_t d = 0; d < shape.size(); ++d) t[d] = shape[d];
    return t;
}

std::string Text(py::handle value) { return py::str(value).cast<std::string>(); }

std::string ShapeText(const Shape& tail) {
    std::string want = "(n";
    for (const py::ssize_t t : tail) want += ", " + std::to_string(t);
    return want + ")";
}

// value as an array of the given trailing dimensions whose dtype kind is
// one of kinds (numpy's letters); None and empty arrays of any shape are
// empty arrays of that shape.
py::array Shaped(py::handle value, const char* name, const char* kinds, const char* kindText, const Shape& tail) {
    Shape empty{0};
    empty.insert(empty.end(), tail.begin(), tail.end());
    if (value.is_none()) return Numpy().attr("zeros")(TupleOf(empty), "float32");
    py::object a;
    try {
        a = Numpy().attr("asarray")(value);
    } catch (py::error_already_set& e) {
        py::raise_from(e, PyExc_TypeError, (std::string(name) + " is not an array of " + kindText).c_str());
        throw py::error_already_set();
    }
    const py::array array = a;
    const char kind = array.dtype().kind();
    if (std::strchr(kinds, kind) == nullptr || kind == '\0')
        throw py::type_error(std::string(name) + " must hold " + kindText + ", not " + Text(array.dtype()));
    bool fits = array.ndim() == static_cast<py::ssize_t>(tail.size()) + 1;
    for (std::size_t d = 0; fits && d < tail.size(); ++d)
        fits = array.shape(static_cast<py::ssize_t>(d) + 1) == tail[d];
    if (fits) return array;
    if (array.size() == 0) return Numpy().attr("zeros")(TupleOf(empty), array.dtype());
    throw py::value_error(std::string(name) + " must have shape " + ShapeText(tail) + ", not " + Text(a.attr("shape")));
}

// The array converted as numpy converts it, C-ordered, held by the caller.
py::array Converted(const py::array& a, const char* dtype, const char* name) {
    try {
        return a.attr("astype")(dtype, py::arg("order") = "C", py::arg("copy") = false);
    } catch (py::error_already_set& e) {
        py::raise_from(e, PyExc_TypeError, (std::string(name) + " does not convert to " + dtype).c_str());
        throw py::error_already_set();
    }
}

// The first element where mask holds, as "name[row, column] is value".
std::string FirstPlace(const py::array& a, const py::object& mask, const char* name) {
    const py::tuple at = Numpy().attr("argwhere")(mask)[py::int_(0)].attr("tolist")();
    std::string place = std::string(name) + "[" + Text(at[0]);
    for (std::size_t d = 1; d < at.size(); ++d) place += ", " + Text(at[d]);
    return place + "] is " + Text(py::repr(a[py::tuple(at)].attr("item")()));
}

// Integers, or floats of integral value, within 32 bits.
void CheckIndices(const py::array& a, const char* name) {
    const py::module_ np = Numpy();
    if (a.dtype().kind() == 'f') {
        const py::object bad = np.attr("logical_not")(np.attr("isfinite")(a) & (np.attr("floor")(a).attr("__eq__")(a)));
        if (np.attr("any")(bad).cast<bool>()) throw py::value_error(FirstPlace(a, bad, name) + ", not an integer");
    }
    const py::object low = py::int_(std::numeric_limits<std::int32_t>::min());
    const py::object high = py::int_(std::numeric_limits<std::int32_t>::max());
    // Most arrays fit: two reductions tell, before a mask finds the place.
    if (a.size() == 0 || (np.attr("min")(a) >= low && np.attr("max")(a) <= high)) return;
    const py::object bad = a.attr("__lt__")(low) | a.attr("__gt__")(high);
    if (np.attr("any")(bad).cast<bool>()) {
        PyErr_SetString(PyExc_OverflowError, (FirstPlace(a, bad, name) + ", outside 32-bit integers").c_str());
        throw py::error_already_set();
    }
}

template <typename Record>
std::vector<Record> Records(const py::array& converted) {
    std::vector<Record> records(static_cast<std::size_t>(converted.shape(0)));
    if (!records.empty()) std::memcpy(records.data(), converted.data(), records.size() * sizeof(Record));
    return records;
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

std::vector<Float3> PointsFrom(py::handle value, const char* name) {
    const py::array a = Shaped(value, name, "fiuO", "real numbers", {3});
    return Records<Float3>(Converted(a, "float32", name));
}

std::vector<ExportPatch> PatchesFrom(py::handle value, const char* name) {
    const py::array a = Shaped(value, name, "iuf", "integers", {static_cast<py::ssize_t>(kPatchColumns)});
    CheckIndices(a, name);
    std::vector<ExportPatch> patches = Records<ExportPatch>(Converted(a, "int32", name));
    for (std::size_t k = 0; k < patches.size(); ++k) {
        const std::string fault = SidesFault(patches[k]);
        if (!fault.empty()) throw py::value_error(std::string(name) + "[" + std::to_string(k) + ", 0]: " + fault);
    }
    return patches;
}

py::array CamerasFrom(py::handle value, const char* name) {
    return Converted(Shaped(value, name, "fiuO", "real numbers", {2, 3}), "float32", name);
}

std::vector<ExportCamera> CameraRecords(py::handle cameras) {
    return Records<ExportCamera>(CamerasFrom(cameras, "cameras"));
}

std::string SidesFault(const ExportPatch& patch) {
    // The reader takes only these two; a file with another would not read back.
    if (patch.sides == 3 || patch.sides == 4) return {};
    return "sides is " + std::to_string(patch.sides) + ", not 3 or 4";
}

ExportPatchObject PatchObjectFrom(py::handle verts, py::handle vecs, py::handle patches) {
    const std::vector<Float3> v = PointsFrom(verts, "verts");
    const std::vector<Float3> w = PointsFrom(vecs, "vecs");
    const std::vector<ExportPatch> p = PatchesFrom(patches, "patches");
    ExportPatchObject object;
    object.Reserve(v.size(), w.size(), p.size());
    for (const Float3& point : v) object.AddVert(point);
    for (const Float3& point : w) object.AddVec(point);
    for (const ExportPatch& patch : p) object.AddPatch(patch);
    return object;
}

}  // namespace gantline
