// A patch object's surface as numpy arrays, from the surface library.
#pragma once

#include <pybind11/pybind11.h>

namespace gantline {

namespace py = pybind11;

// The most steps per patch edge: as patchtext's, so that one patch stays
// at a few tens of thousands of triangles.
constexpr int kMaxSteps = 128;

// (positions, normals, triangles): float64 (N, 3) twice, one row per
// distinct pair of a surface point and its normal, and int32 (T, 3) rows
// into them. The whole computation runs without the interpreter's lock;
// Ctrl-C stops it. Warns (RuntimeWarning) about patches that have no
// surface.
py::tuple Tessellate(py::handle object, int steps);

}  // namespace gantline
