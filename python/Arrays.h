// Numpy arrays over the export records: views of the records' own lists,
// and records filled from arrays that a caller built, checked on the way in.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "patchio/PatchIO.h"

namespace gantline {

namespace py = pybind11;

// The integers of one patch as a row: sides, verts[4], vecs[8],
// interior[4], adjacent[4].
constexpr std::size_t kPatchColumns = 21;

// An (n, 3) float32 array over count points at data; owner keeps the
// memory alive and the array writes through to it.
py::array PointsView(Float3* data, std::int32_t count, py::handle owner);
// A (count, 21) int32 array over count patches at data.
py::array PatchesView(ExportPatch* data, std::int32_t count, py::handle owner);
// A (count, 2, 3) float32 array over count cameras: position, target.
py::array CamerasView(ExportCamera* data, std::int32_t count, py::handle owner);

// A patch object holding copies of the rows of verts, vecs (each (N, 3),
// real numbers) and patches ((P, 21), integers that fit 32 bits, sides 3
// or 4). None stands for an empty list. Raises TypeError for the wrong kind
// of array and ValueError for the wrong shape or values.
ExportPatchObject PatchObjectFrom(py::handle verts, py::handle vecs, py::handle patches);
// The cameras as a C-contiguous float32 (C, 2, 3) array: the same array
// when it is one already, else a converted copy. None: no cameras.
py::array CamerasFrom(py::handle cameras);
// The cameras of such an array as records.
std::vector<ExportCamera> CameraRecords(const py::array& cameras);

}  // namespace gantline
