// gantline.validate and gantline.Finding: patchio::Validate for Python.
#pragma once

#include <pybind11/pybind11.h>

#include "patchio/PatchIO.h"
#include "python/ExportSet.h"

namespace gantline {

// Copies the set's records into the format library's export set. Raises
// TypeError for a list member that is no patch object.
void FillPatchIO(const ExportSet& set, PatchIO& io);

// Adds Finding and validate() to the module.
void DefineValidate(pybind11::module_& m);

}  // namespace gantline
