// The export set as Python sees it: a list of patch objects (the module's
// PatchObject, which is ExportPatchObject itself) and the cameras as one
// float32 (C, 2, 3) array; and reading and writing it.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

namespace gantline {

namespace py = pybind11;

struct ExportSet {
    py::list patchObjects;
    py::array cameras;
};

// Reads patch text from a path (str, bytes, os.PathLike) or a binary file
// object. Raises ReadError (readError is its type) for text that does not
// read, OSError (FileNotFoundError and the like) for a file that cannot be
// opened or read, KeyboardInterrupt when Ctrl-C stopped it.
ExportSet Read(py::handle source, py::handle readError);
// The same from bytes, a buffer or a str (taken as UTF-8).
ExportSet Loads(py::handle data, py::handle readError);
// Writes the set as the C++ writer does to a path (replaced whole only when
// all was written) or a binary file object. Raises ValueError, writing
// nothing, for a patch whose sides the reader would refuse, TypeError for
// a list member that is no patch object, OSError when the file could not
// be written.
void Write(py::handle set, py::handle target);
// The text that Write writes, as bytes.
py::bytes Dumps(py::handle set);

}  // namespace gantline
