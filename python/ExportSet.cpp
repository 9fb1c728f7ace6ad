#include "python/ExportSet.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "patchio/PatchIO.h"
#include "python/Arrays.h"
#include "python/Instances.h"
#include "python/Signals.h"
#include "python/Streams.h"

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

bool IsPath(py::handle source) {
    return py::isinstance<py::str>(source) || py::isinstance<py::bytes>(source) || py::hasattr(source, "__fspath__");
}

py::module_ Os() { return py::module_::import("os"); }

// The name a file object goes by in messages.
std::string StreamName(py::handle file) {
    const py::object name = py::getattr(file, "name", py::none());
    return py::isinstance<py::str>(name) ? name.cast<std::string>() : "<stream>";
}

// The set that the reader filled, as Python objects.
ExportSet FromRecords(std::unique_ptr<PatchIO> set) {
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

// Reads through stream, a PyStream that name stands for in messages.
ExportSet ReadFrom(PyStream& stream, const std::string& name, py::handle readError) {
    auto set = std::make_unique<PatchIO>();
    ReadFailure why;
    SignalCheck unused;
    const std::int32_t ok =
        Unlocked(unused, [&] { return set->ReadWholeStream(stream.Stream(), stream.BytesLeft(), &why); });
    stream.CloseAndRaise();
    if (!ok) RaiseReadError(name, why, readError);
    return FromRecords(std::move(set));
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A regular file is read by the format library itself, on every core:
// through a stream of its own over the file object's descriptor, with
// workers reading ahead by path (only while it names the same file).
// Nothing (null) for anything else, a FIFO or a device, which is read
// through the file object.
std::unique_ptr<PatchIO> ReadRegularFile(py::handle file, const std::string& path, const std::string& name,
                                         py::handle readError) {
    struct stat status;
    const int descriptor = file.attr("fileno")().cast<int>();
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    const int copy = dup(descriptor);
    std::unique_ptr<std::FILE, FileCloser> stream(copy < 0 ? nullptr : fdopen(copy, "r"));
    if (!stream) {
        if (copy >= 0) close(copy);
        return nullptr;
    }
    auto set = std::make_unique<PatchIO>();
    ReadFailure why;
    SignalCheck signals;
    const PatchIO::KeepGoing keepGoing = [&signals] { return signals.KeepGoing(); };
    const std::int32_t ok =
        Unlocked(signals, [&] { return set->ReadFile(stream.get(), path.c_str(), &why, keepGoing); });
    if (!ok && std::ferror(stream.get())) {
        PyErr_SetObject(PyExc_OSError, py::make_tuple(EIO, std::strerror(EIO), name).ptr());
        throw py::error_already_set();
    }
    if (!ok) RaiseReadError(name, why, readError);
    return set;
}

// The patch objects and cameras of set, checked: every member a patch
// object, every patch with sides that the reader takes. members keeps the
// objects alive while they are written.
ExportSetParts Parts(py::handle setObject, py::list& members, SignalCheck& signals) {
    const ExportSet& set = Made<ExportSet>(setObject, "set");
    members = py::list(set.patchObjects);
    ExportSetParts parts;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const std::string name = "patch_objects[" + std::to_string(i) + "]";
        const ExportPatchObject& object = Made<ExportPatchObject>(members[i], name.c_str());
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) {
            const std::string fault = SidesFault(object.PatchData()[k]);
            if (!fault.empty()) throw py::value_error(name + ", patch " + std::to_string(k) + ": " + fault);
        }
        parts.patchObjects.push_back(&object);
    }
    parts.cameras = CameraRecords(set.cameras);
    parts.keepGoing = [&signals] { return signals.KeepGoing(); };
    return parts;
}

// After a failed write: the signal that stopped it, else an OSError of
// error (an errno) for path.
[[noreturn]] void RaiseWriteError(SignalCheck& signals, int error, py::handle path) {
    if (signals.Stopped() || PyErr_CheckSignals() != 0) throw py::error_already_set();
    if (error == 0) error = EIO;
    PyErr_SetObject(PyExc_OSError, py::make_tuple(error, std::strerror(error), Os().attr("fsdecode")(path)).ptr());
    throw py::error_already_set();
}

}  // namespace

ExportSet Read(py::handle source, py::handle readError) {
    if (!IsPath(source)) {
        auto stream = PyStream::Reader(py::reinterpret_borrow<py::object>(source));
        return ReadFrom(*stream, StreamName(source), readError);
    }
    const py::object path = Os().attr("fspath")(source);
    // Python's open raises what Python users catch: FileNotFoundError,
    // PermissionError, IsADirectoryError, with errno and filename.
    const py::object file = py::module_::import("io").attr("open")(path, "rb", py::arg("buffering") = 0);
    auto close = [&] { file.attr("close")(); };
    try {
        const std::string name = Os().attr("fsdecode")(path).cast<std::string>();
        const std::string encoded = Os().attr("fsencode")(path).cast<std::string>();
        std::unique_ptr<PatchIO> regular = ReadRegularFile(file, encoded, name, readError);
        if (regular) {
            close();
            return FromRecords(std::move(regular));
        }
        auto stream = PyStream::RawFile(file);
        ExportSet set = ReadFrom(*stream, name, readError);
        close();
        return set;
    } catch (...) {
        // The error that stopped the read is the one to raise.
        try {
            close();
        } catch (py::error_already_set&) {
        }
        throw;
    }
}

ExportSet Loads(py::handle data, py::handle readError) {
    py::object owner = py::reinterpret_borrow<py::object>(data);
    if (py::isinstance<py::str>(data)) owner = data.attr("encode")("utf-8", "surrogateescape");
    // The bytes stay where they are (and the same size) while the view is held.
    struct View {
        Py_buffer buffer{};
        bool held = false;
        ~View() {
            if (held) PyBuffer_Release(&buffer);
        }
    } view;
    view.held = PyObject_GetBuffer(owner.ptr(), &view.buffer, PyBUF_SIMPLE) == 0;
    if (!view.held) {
        PyErr_Clear();
        throw py::type_error("loads takes bytes, a contiguous buffer or str, not " +
                             py::str(py::type::of(data).attr("__name__")).cast<std::string>());
    }
    // Read where they are, on every core.
    auto set = std::make_unique<PatchIO>();
    ReadFailure why;
    SignalCheck signals;
    const PatchIO::KeepGoing keepGoing = [&signals] { return signals.KeepGoing(); };
    const char* const text = static_cast<const char*>(view.buffer.buf);
    const auto size = static_cast<std::size_t>(view.buffer.len);
    if (!Unlocked(signals, [&] { return set->ReadText(text, size, &why, keepGoing); }))
        RaiseReadError("<bytes>", why, readError);
    return FromRecords(std::move(set));
}

void Write(py::handle set, py::handle target) {
    SignalCheck signals;
    py::list members;
    const ExportSetParts parts = Parts(set, members, signals);
    if (!IsPath(target)) {
        auto stream = PyStream::Writer(py::reinterpret_borrow<py::object>(target));
        const std::int32_t ok = Unlocked(signals, [&] { return parts.WriteStream(stream->Stream()); });
        stream->CloseAndRaise();
        if (!ok) {
            PyErr_SetString(PyExc_OSError, (StreamName(target) + ": could not write to the file object").c_str());
            throw py::error_already_set();
        }
        return;
    }
    const py::object path = Os().attr("fspath")(target);
    const std::string bytes = Os().attr("fsencode")(path).cast<std::string>();
    int error = 0;
    const std::int32_t ok = Unlocked(signals, [&] {
        errno = 0;
        const std::int32_t wrote = parts.Write(bytes.c_str());
        error = errno;
        return wrote;
    });
    if (!ok) RaiseWriteError(signals, error, path);
}

py::bytes Dumps(py::handle set) {
    SignalCheck signals;
    py::list members;
    const ExportSetParts parts = Parts(set, members, signals);
    std::string text;
    Unlocked(signals, [&] { parts.WriteText(text); });
    return py::bytes(text);
}

}  // namespace gantline
