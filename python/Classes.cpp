#include "python/Classes.h"

#include <cstring>
#include <string>
#include <vector>

#include "python/Arrays.h"
#include "python/ExportSet.h"
#include "python/Instances.h"

namespace gantline {
namespace {

const char* const kPatchObjectDoc = R"(One patch object: vertices, vectors and patches.

verts, vecs: float32 arrays of shape (N, 3), the control points.
patches: an int32 array of shape (P, 21), one row per patch: sides (3 or 4),
  verts[4], vecs[8], interior[4], adjacent[4]; -1 where there is no index.

The three arrays are views of the object's own lists: writing to them edits
the object, and assigning an array of the same length converts and copies
into it, with the constructor's checks. Their lengths are fixed; build a
new PatchObject to change them.

PatchObject(verts=None, vecs=None, patches=None) converts and copies the
given arrays (or anything numpy.asarray takes; None is empty) of any real or
integer dtype, order and strides, as numpy's astype does: verts and vecs to
float32; patches to int32, integers (or floats of integral value) that fit
32 bits, with 3 or 4 sides. The wrong kind raises TypeError, the wrong shape
or values ValueError, an index beyond 32 bits OverflowError, each naming the
argument and the row and column.

Objects compare equal when their lists are; copy, deepcopy and pickle make
independent objects.)";

const char* const kExportSetDoc = R"(An export set: patch objects and cameras.

patch_objects: a list of PatchObject, written in order.
cameras: a float32 array of shape (C, 2, 3): per camera its position and its
  target, in world space.

ExportSet(patch_objects=None, cameras=None) keeps the list as given and the
cameras as a C-ordered float32 array (the array itself when it is one,
else converted as numpy's astype does). Sets compare equal by content.)";

using Object = ExportPatchObject;

Object& Patches(py::handle self) { return Made<Object>(self, "self"); }
ExportSet& Set(py::handle self) { return Made<ExportSet>(self, "self"); }

py::array Verts(py::object self) {
    Object& o = Patches(self);
    return PointsView(o.VertData(), o.NumVerts(), self);
}
py::array Vecs(py::object self) {
    Object& o = Patches(self);
    return PointsView(o.VecData(), o.NumVecs(), self);
}
py::array PatchRows(py::object self) {
    Object& o = Patches(self);
    return PatchesView(o.PatchData(), o.NumPatches(), self);
}

// Assigning to a list converts as the constructor does and copies into it
// (so that "o.verts *= 2", which assigns the edited view back, works); its
// length stays, as views of it may be alive.
template <typename Record>
void CopyInto(Record* data, std::int32_t count, const std::vector<Record>& rows, const char* name) {
    if (rows.size() != static_cast<std::size_t>(count))
        throw py::value_error(std::string(name) + " takes " + std::to_string(count) + " rows, not " +
                              std::to_string(rows.size()) + "; build a new PatchObject to change the length");
    if (count > 0) std::memmove(data, rows.data(), rows.size() * sizeof(Record));
}
void SetVerts(py::handle self, py::handle value) {
    Object& o = Patches(self);
    CopyInto(o.VertData(), o.NumVerts(), PointsFrom(value, "verts"), "verts");
}
void SetVecs(py::handle self, py::handle value) {
    Object& o = Patches(self);
    CopyInto(o.VecData(), o.NumVecs(), PointsFrom(value, "vecs"), "vecs");
}
void SetPatches(py::handle self, py::handle value) {
    Object& o = Patches(self);
    CopyInto(o.PatchData(), o.NumPatches(), PatchesFrom(value, "patches"), "patches");
}

py::object Equal(py::handle a, py::handle b) {
    if (!py::isinstance(b, py::type::of(a))) return py::reinterpret_borrow<py::object>(Py_NotImplemented);
    return py::bool_(Patches(a) == Made<Object>(b, "other"));
}

std::string Describe(py::handle self) {
    const Object& o = Patches(self);
    return "<gantline.PatchObject: " + std::to_string(o.NumVerts()) + " verts, " + std::to_string(o.NumVecs()) +
           " vecs, " + std::to_string(o.NumPatches()) + " patches>";
}

py::tuple ObjectState(py::object self) {
    return py::make_tuple(Verts(self).attr("copy")(), Vecs(self).attr("copy")(), PatchRows(self).attr("copy")());
}
Object ObjectFromState(const py::tuple& state) {
    if (state.size() != 3) throw py::value_error("a PatchObject's state is (verts, vecs, patches)");
    return PatchObjectFrom(state[0], state[1], state[2]);
}

// The list as given, each member checked to be a patch object.
py::list Members(py::handle objects) {
    if (objects.is_none()) return py::list();
    py::list list = py::isinstance<py::list>(objects) ? py::reinterpret_borrow<py::list>(objects)
                                                      : py::list(py::reinterpret_borrow<py::object>(objects));
    for (std::size_t i = 0; i < list.size(); ++i)
        Made<Object>(list[i], ("patch_objects[" + std::to_string(i) + "]").c_str());
    return list;
}

ExportSet MakeSet(py::handle objects, py::handle cameras) {
    return ExportSet{Members(objects), CamerasFrom(cameras, "cameras")};
}

py::object SetsEqual(py::handle a, py::handle b) {
    if (!py::isinstance(b, py::type::of(a))) return py::reinterpret_borrow<py::object>(Py_NotImplemented);
    const ExportSet& x = Set(a);
    const ExportSet& y = Made<ExportSet>(b, "other");
    const bool same = x.patchObjects.equal(y.patchObjects) &&
                      py::module_::import("numpy").attr("array_equal")(x.cameras, y.cameras).cast<bool>();
    return py::bool_(same);
}

std::string DescribeSet(py::handle self) {
    const ExportSet& s = Set(self);
    return "<gantline.ExportSet: " + std::to_string(py::len(s.patchObjects)) + " patch objects, " +
           std::to_string(s.cameras.shape(0)) + " cameras>";
}

}  // namespace

void DefineClasses(py::module_& m) {
    py::class_<Object> patchObject(m, "PatchObject", kPatchObjectDoc);
    patchObject
        .def(py::init(&PatchObjectFrom), py::arg("verts") = py::none(), py::arg("vecs") = py::none(),
             py::arg("patches") = py::none(),
             "__init__(self, verts=None, vecs=None, patches=None)\n--\n\nConverts and copies the arrays.")
        .def_property("verts", &Verts, &SetVerts, "float32 (N, 3): the vertices, a view.")
        .def_property("vecs", &Vecs, &SetVecs,
                      "float32 (N, 3): the vectors (edge and interior control points), a view.")
        .def_property("patches", &PatchRows, &SetPatches,
                      "int32 (P, 21): sides, verts[4], vecs[8], interior[4], adjacent[4] per patch, a view.")
        .def("__eq__", &Equal, py::is_operator(), "Equal lists, coordinates compared as numbers.")
        .def("__repr__", &Describe)
        .def(py::pickle(&ObjectState, &ObjectFromState));
    patchObject.attr("__hash__") = py::none();

    py::class_<ExportSet> exportSet(m, "ExportSet", kExportSetDoc);
    exportSet
        .def(py::init(&MakeSet), py::arg("patch_objects") = py::none(), py::arg("cameras") = py::none(),
             "__init__(self, patch_objects=None, cameras=None)\n--\n\nKeeps the list; converts the cameras.")
        .def_property(
            "patch_objects", [](py::handle self) { return Set(self).patchObjects; },
            [](py::handle self, py::handle objects) { Set(self).patchObjects = Members(objects); },
            "list of PatchObject.")
        .def_property(
            "cameras", [](py::handle self) { return Set(self).cameras; },
            [](py::handle self, py::handle cameras) { Set(self).cameras = CamerasFrom(cameras, "cameras"); },
            "float32 (C, 2, 3): position and target per camera.")
        .def("__eq__", &SetsEqual, py::is_operator(), "The same patch objects and cameras.")
        .def("__repr__", &DescribeSet)
        .def(py::pickle(
            [](py::handle self) { return py::make_tuple(py::list(Set(self).patchObjects), Set(self).cameras); },
            [](const py::tuple& state) {
                if (state.size() != 2) throw py::value_error("an ExportSet's state is (patch_objects, cameras)");
                return MakeSet(state[0], state[1]);
            }));
    exportSet.attr("__hash__") = py::none();
}

}  // namespace gantline
