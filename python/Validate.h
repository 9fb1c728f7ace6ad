// gantline.validate and gantline.Finding: patchio::Validate for Python.
#pragma once

#include <pybind11/pybind11.h>

namespace gantline {

// Adds Finding and validate() to the module.
void DefineValidate(pybind11::module_& m);

}  // namespace gantline
