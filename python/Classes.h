// The module's two classes: PatchObject (ExportPatchObject itself) and
// ExportSet, with their arrays, comparison by content, copying and pickling.
#pragma once

#include <pybind11/pybind11.h>

namespace gantline {

namespace py = pybind11;

void DefineClasses(py::module_& m);

}  // namespace gantline
