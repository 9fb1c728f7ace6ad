#include "python/Validate.h"

#include <pybind11/stl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "patchio/Validate.h"
#include "python/Arrays.h"
#include "python/ExportSet.h"
#include "python/Instances.h"

namespace gantline {
namespace {

const char* const kFindingDoc = R"(One thing validate() found about an export set.

object, patch, camera: where (-1 where they do not apply): a patch object
  and a patch of it, or a camera.
field: what: "sides", or an index slot of the patch ("verts", "vecs",
  "interior", "adjacent"); "vertex" or "vector" for a point of the object;
  "position" or "target" for a camera.
slot: the slot of the patch's field, or the point's number (-1 for sides
  and cameras).
axis: 0, 1 or 2 for a coordinate that is not finite, else -1 (a "vertex" or
  "vector" finding with axis -1 is about the first of the points no patch
  uses).
message: the same in words, as `patchtext check` prints it.)";

const char* const kValidateDoc = R"(validate(set, most=None) -> list[Finding]

Whether an ExportSet is sound, as `patchtext check` judges the contents of a
file: every index inside its object's lists, neighbours in range and naming
the patch back (-1, an open edge, is fine), 3 or 4 sides, finite coordinates,
every point used by a patch. Answers the findings, objects in order, then
cameras; [] for a sound set. most, when given, stops after that many (a set
whose every index is wrong has some twenty findings per patch). Raises
TypeError for a list member that is no PatchObject.)";

std::string Describe(const patchio::Finding& f) { return "<gantline.Finding: " + f.message + ">"; }

// The set's records copied into the format library's export set. Raises
// TypeError for a list member that is no patch object, or an object made
// without __init__.
void FillPatchIO(py::handle setObject, PatchIO& io) {
    const ExportSet& set = Made<ExportSet>(setObject, "set");
    const py::list members = set.patchObjects;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string name = "patch_objects[" + std::to_string(i) + "]";
        io.AddPatchObject(Made<ExportPatchObject>(members[i], name.c_str()));
    }
    for (const ExportCamera& camera : CameraRecords(set.cameras)) io.AddCamera(camera);
}

std::vector<patchio::Finding> Validate(py::handle set, const std::optional<py::ssize_t>& most) {
    if (most && *most < 0) throw py::value_error("most must be 0 or more, not " + std::to_string(*most));
    PatchIO io;
    FillPatchIO(set, io);
    py::gil_scoped_release unlocked;
    return patchio::Validate(io, most ? static_cast<std::size_t>(*most) : SIZE_MAX);
}

}  // namespace

void DefineValidate(py::module_& m) {
    py::class_<patchio::Finding>(m, "Finding", kFindingDoc)
        .def_readonly("object", &patchio::Finding::object)
        .def_readonly("patch", &patchio::Finding::patch)
        .def_readonly("camera", &patchio::Finding::camera)
        .def_readonly("field", &patchio::Finding::field)
        .def_readonly("slot", &patchio::Finding::slot)
        .def_readonly("axis", &patchio::Finding::axis)
        .def_readonly("message", &patchio::Finding::message)
        .def("__repr__", &Describe)
        .def("__str__", [](const patchio::Finding& f) { return f.message; });
    m.def("validate", &Validate, py::arg("set"), py::arg("most") = py::none(), kValidateDoc);
}

}  // namespace gantline
