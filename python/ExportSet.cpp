#include "python/ExportSet.h"

#include <memory>
#include <string>
#include <utility>

#include "patchio/PatchIO.h"
#include "python/Arrays.h"

namespace gantline {
namespace {

// The reason as `patchtext check` gives it: the failure's message without
// the place, which the caller puts in front as file:line:column.
std::string Reason(const ReadFailure& why) {
    std::string text = why.Message();
    const std::string place = "line " + std::to_string(why.line) + ", column " + std::to_string(why.column) + ": ";
    if (text.compare(0, place.size(), place) == 0) text.erase(0, place.size());
    return text.empty() ? "the file does not read as patch text" : text;
}

[[noreturn]] void RaiseReadError(const std::string& path, const ReadFailure& why, py::handle readError) {
    const std::string reason = Reason(why);
    const std::string place =
        why.line > 0 ? path + ":" + std::to_string(why.line) + ":" + std::to_string(why.column) + ": " : path + ": ";
    py::object error = readError(place + reason);
    error.attr("path") = path;
    error.attr("line") = why.line;
    error.attr("column") = why.column;
    // A token is bytes; those that are not UTF-8 keep their value as
    // surrogates, as file names do.
    error.attr("found") = py::reinterpret_steal<py::object>(
        PyUnicode_DecodeUTF8(why.found.data(), static_cast<py::ssize_t>(why.found.size()), "surrogateescape"));
    error.attr("expected") = why.expected;
    error.attr("reason") = reason;
    PyErr_SetObject(readError.ptr(), error.ptr());
    throw py::error_already_set();
}

}  // namespace

ExportSet Read(const std::filesystem::path& path, py::handle readError) {
    auto set = std::make_unique<PatchIO>();
    ReadFailure why;
    std::int32_t ok = 0;
    {
        py::gil_scoped_release unlocked;
        ok = set->Read(path.c_str(), &why);
    }
    if (!ok && !why.opened) {
        PyErr_SetString(PyExc_OSError, (path.string() + ": cannot open the file").c_str());
        throw py::error_already_set();
    }
    if (!ok) RaiseReadError(path.string(), why, readError);

    ExportSet out;
    for (std::int32_t i = 0; i < set->NumPatchObjects(); ++i)
        out.patchObjects.append(py::cast(std::move(set->PatchObjectAt(i))));
    // The cameras stay where the reader put them; the set, emptied of its
    // patch objects, lives as long as the array.
    const std::int32_t numCameras = set->NumCameras();
    ExportCamera* cameras = numCameras > 0 ? &set->CameraAt(0) : nullptr;
    const py::capsule owner(set.get(), [](void* held) { std::unique_ptr<PatchIO> drop(static_cast<PatchIO*>(held)); });
    static_cast<void>(set.release());
    out.cameras = CamerasView(cameras, numCameras, owner);
    return out;
}

void Write(const ExportSet& set, const std::filesystem::path& path) {
    PatchIO io;
    for (const py::handle member : set.patchObjects) {
        if (!py::isinstance<ExportPatchObject>(member))
            throw py::type_error("patch_objects must hold PatchObject, not " +
                                 py::str(py::type::of(member).attr("__name__")).cast<std::string>());
        io.AddPatchObject(member.cast<const ExportPatchObject&>());
    }
    for (const ExportCamera& camera : CameraRecords(set.cameras)) io.AddCamera(camera);
    std::int32_t ok = 0;
    {
        py::gil_scoped_release unlocked;
        ok = io.Write(path.c_str());
    }
    if (!ok) {
        PyErr_SetString(PyExc_OSError, (path.string() + ": could not write the file").c_str());
        throw py::error_already_set();
    }
}

}  // namespace gantline
