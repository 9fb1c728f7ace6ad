// The gantline Python module: patch text files as numpy arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl/filesystem.h>

#include <string>

#include "python/Arrays.h"
#include "python/ExportSet.h"
#include "python/Tessellate.h"
#include "python/Validate.h"

namespace py = pybind11;
using gantline::ExportSet;

namespace {

const char* const kModuleDoc = R"(Patch text files (format version 1.10) as numpy arrays.

A file holds an export set: patch objects (vertices, vectors and the
triangular and quadrilateral Bezier patches built on them) and look-at
cameras. The arrays of a set that was read are views of the records the
C++ reader filled, not copies; writing to them changes what write() writes.

Example:

    import numpy as np
    import gantline

    scene = gantline.read("teapot.txt")
    teapot = scene.patch_objects[0]
    print(teapot.verts.shape, teapot.patches[:, 0])   # (N, 3) float32; sides
    teapot.verts *= 2.0                               # edits the set in place
    gantline.write(scene, "big_teapot.txt")

    positions, normals, triangles = gantline.tessellate(teapot, 8)

    quad = gantline.PatchObject(
        verts=np.array([[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0]], np.float32),
        vecs=np.zeros((12, 3), np.float32),  # edge control points 0-7, interior 8-11
        patches=[[4, 0, 1, 2, 3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -1, -1, -1]])
    gantline.write(gantline.ExportSet(patch_objects=[quad]), "quad.txt")

A file that does not read raises ReadError, which names the place and the
reason as `patchtext check` does.)";

const char* const kReadErrorDoc = R"(A file that is not patch text: where and why it stopped reading.

Attributes: path, line and column (from 1; 0 when the reader could not say
where), found (the token found there, "" at the end of the file), expected
(what the format demands there) and reason (the message without the place).
str() is "path:line:column: reason", as `patchtext check` reports it.)";

const char* const kPatchObjectDoc = R"(One patch object: vertices, vectors and patches.

verts, vecs: float32 arrays of shape (N, 3), the control points.
patches: an int32 array of shape (P, 21), one row per patch: sides (3 or 4),
  verts[4], vecs[8], interior[4], adjacent[4]; -1 where there is no index.

The three arrays are views of the object's own lists: writing to them edits
the object, and assigning an array of the same shape copies into it. Their
lengths are fixed; build a new PatchObject to change them.

PatchObject(verts=None, vecs=None, patches=None) copies the given arrays (or
anything numpy.asarray takes; None is empty): verts and vecs must hold real
numbers, patches integers that fit 32 bits with 3 or 4 sides. The wrong kind
raises TypeError, the wrong shape or values ValueError.)";

const char* const kExportSetDoc = R"(An export set: patch objects and cameras.

patch_objects: a list of PatchObject, written in order.
cameras: a float32 array of shape (C, 2, 3): per camera its position and its
  target, in world space.

ExportSet(patch_objects=None, cameras=None) keeps the list and the cameras
array as given (converted to C-ordered float32 when it is not already).)";

std::string Describe(const ExportPatchObject& o) {
    return "<gantline.PatchObject: " + std::to_string(o.NumVerts()) + " verts, " + std::to_string(o.NumVecs()) +
           " vecs, " + std::to_string(o.NumPatches()) + " patches>";
}

py::array Verts(py::object self) {
    auto& o = self.cast<ExportPatchObject&>();
    return gantline::PointsView(o.VertData(), o.NumVerts(), self);
}
py::array Vecs(py::object self) {
    auto& o = self.cast<ExportPatchObject&>();
    return gantline::PointsView(o.VecData(), o.NumVecs(), self);
}
py::array Patches(py::object self) {
    auto& o = self.cast<ExportPatchObject&>();
    return gantline::PatchesView(o.PatchData(), o.NumPatches(), self);
}

// Assigning to a list copies into it (so that "o.verts *= 2", which
// assigns the edited view back, works); its length stays.
void Assign(const py::array& view, py::handle value, const char* name) {
    const py::module_ numpy = py::module_::import("numpy");
    if (!numpy.attr("array_equal")(numpy.attr("shape")(value), view.attr("shape")).cast<bool>())
        throw py::value_error(std::string(name) + " takes an array of its own shape " +
                              py::str(view.attr("shape")).cast<std::string>() +
                              "; build a new PatchObject to change the length");
    numpy.attr("copyto")(view, value, py::arg("casting") = "same_kind");
}
void SetVerts(py::object self, py::handle value) { Assign(Verts(self), value, "verts"); }
void SetVecs(py::object self, py::handle value) { Assign(Vecs(self), value, "vecs"); }
void SetPatches(py::object self, py::handle value) { Assign(Patches(self), value, "patches"); }

}  // namespace

PYBIND11_MODULE(gantline, m) {
    m.doc() = kModuleDoc;
    static py::exception<ReadFailure> readError(m, "ReadError", PyExc_ValueError);
    readError.doc() = kReadErrorDoc;

    py::class_<ExportPatchObject>(m, "PatchObject", kPatchObjectDoc)
        .def(py::init([](py::object verts, py::object vecs, py::object patches) {
                 return gantline::PatchObjectFrom(verts, vecs, patches);
             }),
             py::arg("verts") = py::none(), py::arg("vecs") = py::none(),
             py::arg("patches") = py::none())
        .def_property("verts", &Verts, &SetVerts, "float32 (N, 3): the vertices, a view.")
        .def_property("vecs", &Vecs, &SetVecs, "float32 (N, 3): the vectors (edge and interior control points), a view.")
        .def_property("patches", &Patches, &SetPatches,
                      "int32 (P, 21): sides, verts[4], vecs[8], interior[4], adjacent[4] per patch, a view.")
        .def(
            "__eq__", [](const ExportPatchObject& a, const ExportPatchObject& b) { return a == b; },
            py::is_operator(), "Equal lists, coordinates compared bit for bit.")
        .def("__repr__", &Describe);

    py::class_<ExportSet>(m, "ExportSet", kExportSetDoc)
        .def(py::init([](py::object objects, py::object cameras) {
                 return ExportSet{objects.is_none() ? py::list() : py::list(objects), gantline::CamerasFrom(cameras)};
             }),
             py::arg("patch_objects") = py::none(), py::arg("cameras") = py::none())
        .def_property(
            "patch_objects", [](const ExportSet& s) { return s.patchObjects; },
            [](ExportSet& s, py::object objects) { s.patchObjects = py::list(objects); }, "list of PatchObject.")
        .def_property(
            "cameras", [](const ExportSet& s) { return s.cameras; },
            [](ExportSet& s, py::object cameras) { s.cameras = gantline::CamerasFrom(cameras); },
            "float32 (C, 2, 3): position and target per camera.")
        .def("__repr__", [](const ExportSet& s) {
            return "<gantline.ExportSet: " + std::to_string(py::len(s.patchObjects)) + " patch objects, " +
                   std::to_string(s.cameras.shape(0)) + " cameras>";
        });

    m.def(
        "read", [](const std::filesystem::path& path) { return gantline::Read(path, readError); }, py::arg("path"),
        R"(read(path) -> ExportSet

Reads a patch text file (versions 1.0 and 1.10). Raises ReadError when the
file is not patch text and OSError when it cannot be opened.)");
    m.def("write", &gantline::Write, py::arg("set"), py::arg("path"),
          R"(write(set, path)

Writes an ExportSet as patch text version 1.10, byte for byte as the C++
writer (PatchIO::Write) does. Raises OSError when the file cannot be written.)");
    m.def("tessellate", &gantline::Tessellate, py::arg("patch_object"), py::arg("steps") = 8,
          R"(tessellate(patch_object, steps=8) -> (positions, normals, triangles)

The patch object's Bezier surfaces as a triangle mesh, steps (1 to 128)
intervals per patch edge, welded without cracks where patches meet.
positions and normals are float64 (N, 3) with one row per distinct pair of a
surface point and its unit normal (a point on a crease has a row per side);
triangles is int32 (T, 3), rows into them, counter-clockwise about the
normal. Patches without a surface are left out with a RuntimeWarning.)");
    gantline::DefineValidate(m);
}
