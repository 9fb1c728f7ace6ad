// Numpy arrays over the export records: views of the records' own lists,
// and the one conversion that every array a caller hands in goes through,
// in the constructors and in property assignment alike.
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

// The conversions. Each takes anything numpy.asarray takes (None: empty),
// of any real or integer dtype, order and strides, and converts it value
// for value as numpy's astype does. The wrong kind raises TypeError, the
// wrong shape ValueError; both name the argument.
//
// Points: (n, 3) real numbers, as float32.
std::vector<Float3> PointsFrom(py::handle value, const char* name);
// Patches: (n, 21) integers, or floats of integral value (else ValueError);
// a value outside 32 bits raises OverflowError, sides other than 3 or 4
// ValueError, each naming the row and column.
std::vector<ExportPatch> PatchesFrom(py::handle value, const char* name);
// Cameras: (n, 2, 3) real numbers as a C-ordered float32 array of its own
// (the array itself when it is one already).
py::array CamerasFrom(py::handle value, const char* name);
// The cameras of such an array as records.
std::vector<ExportCamera> CameraRecords(py::handle cameras);

// "sides is 7, not 3 or 4" when a patch's sides are not ones the reader
// takes, else empty.
std::string SidesFault(const ExportPatch& patch);

// A patch object built from the three conversions.
ExportPatchObject PatchObjectFrom(py::handle verts, py::handle vecs, py::handle patches);

}  // namespace gantline
