// The gantline Python module: patch text files as numpy arrays.
#include <pybind11/pybind11.h>

#include "patchio/PatchIO.h"
#include "python/Classes.h"
#include "python/ExportSet.h"
#include "python/Tessellate.h"
#include "python/Validate.h"

namespace py = pybind11;

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
    data = gantline.dumps(gantline.ExportSet(patch_objects=[quad]))   # bytes
    again = gantline.loads(data)

Paths may be str, bytes or os.PathLike; read and write also take binary
file objects (io.BytesIO, an open file, a socket's file). A file that does
not read raises ReadError, which names the place and the reason as
`patchtext check` does; a file that cannot be opened or written raises the
OSError that Python's open would (FileNotFoundError, PermissionError,
IsADirectoryError, with errno, strerror and filename). Ctrl-C stops any of
them with KeyboardInterrupt.)";

const char* const kReadErrorDoc = R"(A file that is not patch text: where and why it stopped reading.

Attributes: path, line and column (from 1; 0 when the reader could not say
where), found (the token found there, "" at the end of the file), expected
(what the format demands there) and reason (the message without the place).
str() is "path:line:column: reason", as `patchtext check` reports it.)";

const char* const kReadDoc = R"(read(source)
--

Reads patch text (versions 1.0 and 1.10) from a path (str, bytes or
os.PathLike) or a binary file object, and answers an ExportSet. Raises
ReadError when it is not patch text and OSError (FileNotFoundError,
PermissionError, IsADirectoryError, ...) when it cannot be opened or read.)";

const char* const kLoadsDoc = R"(loads(data)
--

Reads patch text from bytes (or any contiguous buffer) or a str, and
answers an ExportSet. Raises ReadError when it is not patch text.)";

const char* const kWriteDoc = R"(write(set, target)
--

Writes an ExportSet as patch text version 1.10, byte for byte as the C++
writer (PatchIO::Write) does, to a path (which is replaced only when all of
it was written) or a binary file object. Raises ValueError, writing
nothing, for a patch whose sides are not 3 or 4, and OSError when the file
cannot be written.)";

const char* const kDumpsDoc = R"(dumps(set)
--

The patch text that write() writes, as bytes.)";

const char* const kTessellateDoc = R"(tessellate(patch_object, steps=8)
--

The patch object's Bezier surfaces as a triangle mesh (positions, normals,
triangles), steps (1 to 128) intervals per patch edge, welded without
cracks where patches meet. positions and normals are float64 (N, 3) with one
row per distinct pair of a surface point and its unit normal (a point on a
crease has a row per side); triangles is int32 (T, 3), rows into them,
counter-clockwise about the normal. Patches without a surface are left out
with a RuntimeWarning.)";

}  // namespace

PYBIND11_MODULE(gantline, m) {
    // Each docstring carries its own signature, in the form from which
    // inspect.signature reads it.
    py::options options;
    options.disable_function_signatures();

    m.doc() = kModuleDoc;
    m.attr("__version__") = GANTLINE_VERSION;
    static py::exception<ReadFailure> readError(m, "ReadError", PyExc_ValueError);
    readError.doc() = kReadErrorDoc;

    gantline::DefineClasses(m);
    m.def(
        "read", [](py::handle source) { return gantline::Read(source, readError); }, py::arg("source"), kReadDoc);
    m.def(
        "loads", [](py::handle data) { return gantline::Loads(data, readError); }, py::arg("data"), kLoadsDoc);
    m.def("write", &gantline::Write, py::arg("set"), py::arg("target"), kWriteDoc);
    m.def("dumps", &gantline::Dumps, py::arg("set"), kDumpsDoc);
    m.def("tessellate", &gantline::Tessellate, py::arg("patch_object"), py::arg("steps") = 8, kTessellateDoc);
    gantline::DefineValidate(m);
}
