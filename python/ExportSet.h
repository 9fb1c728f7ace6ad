// The export set as Python sees it: a list of patch objects (the module's
// PatchObject, which is ExportPatchObject itself) and the cameras as one
// float32 (C, 2, 3) array.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <filesystem>

namespace gantline {

namespace py = pybind11;

struct ExportSet {
    py::list patchObjects;
    py::array cameras;
};

// Reads a patch text file. Raises ReadError (readError is its type) for a
// file that does not read and OSError for one that cannot be opened.
ExportSet Read(const std::filesystem::path& path, py::handle readError);
// Writes the set as the C++ writer does. Raises OSError when the file could
// not be written and TypeError for a list member that is no patch object.
void Write(const ExportSet& set, const std::filesystem::path& path);

}  // namespace gantline
