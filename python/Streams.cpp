#include "python/Streams.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <new>

#include <unistd.h>
#include <string>

namespace gantline {
namespace {

// Bytes the C library asks for or hands over at a time.
constexpr std::size_t kBlock = std::size_t{1} << 20;
constexpr std::size_t kSmallBuffer = 4096;

// What is left of a regular file behind file (a file object with fileno
// and tell), else 0.
std::size_t RegularBytesLeft(const py::object& file) {
    try {
        const py::module_ os = py::module_::import("os");
        const py::object info = os.attr("fstat")(file.attr("fileno")());
        if (!py::module_::import("stat").attr("S_ISREG")(info.attr("st_mode")).cast<bool>()) return 0;
        const auto size = info.attr("st_size").cast<long long>();
        const auto at = file.attr("tell")().cast<long long>();
        return size > at ? static_cast<std::size_t>(size - at) : 0;
    } catch (py::error_already_set&) {
        return 0;  // no descriptor (io.BytesIO), or not seekable
    } catch (const py::cast_error&) {
        return 0;
    }
}

}  // namespace

std::unique_ptr<PyStream> PyStream::Reader(py::object file) {
    std::unique_ptr<PyStream> s(new PyStream);
    if (!py::hasattr(file, "readinto") && !py::hasattr(file, "read"))
        throw py::type_error("expected a path or a binary file object, not " +
                             py::str(py::type::of(file).attr("__name__")).cast<std::string>());
    s->bytesLeft_ = RegularBytesLeft(file);
    s->file_ = std::move(file);
    s->Open("r");
    return s;
}

std::unique_ptr<PyStream> PyStream::RawFile(py::object raw) {
    const std::size_t left = RegularBytesLeft(raw);
    if (left == 0) return Reader(std::move(raw));
    std::unique_ptr<PyStream> s(new PyStream);
    s->descriptor_ = raw.attr("fileno")().cast<int>();
    s->bytesLeft_ = left;
    s->file_ = std::move(raw);
    s->Open("r");
    // A buffer smaller than the tokeniser's blocks: the C library then reads
    // them straight from the descriptor into the tokeniser's own buffer.
    if (setvbuf(s->stream_, nullptr, _IOFBF, kSmallBuffer) != 0) throw std::bad_alloc();
    return s;
}

std::unique_ptr<PyStream> PyStream::Writer(py::object file) {
    std::unique_ptr<PyStream> s(new PyStream);
    if (!py::hasattr(file, "write"))
        throw py::type_error("expected a path or a binary file object, not " +
                             py::str(py::type::of(file).attr("__name__")).cast<std::string>());
    s->file_ = std::move(file);
    s->Open("w");
    return s;
}

void PyStream::Open(const char* mode) {
    cookie_io_functions_t calls{};
    calls.read = &PyStream::ReadBlock;
    calls.write = &PyStream::WriteBlock;
    calls.close = &PyStream::Close;
    stream_ = fopencookie(this, mode, calls);
    if (!stream_ || setvbuf(stream_, nullptr, _IOFBF, kBlock) != 0) throw std::bad_alloc();
}

PyStream::~PyStream() {
    // Closed here only when an error or Ctrl-C is on its way out: what is
    // still buffered is not handed to the file object after it.
    failed_ = true;
    if (stream_) std::fclose(stream_);
}

void PyStream::CloseAndRaise() {
    std::FILE* stream = stream_;
    stream_ = nullptr;
    if (stream) std::fclose(stream);
    if (failed_) throw py::error_already_set();
}

ssize_t PyStream::Fail() {
    failed_ = true;
    errno = EIO;
    return -1;
}

ssize_t PyStream::ReadBlock(void* self, char* buffer, std::size_t size) {
    auto& s = *static_cast<PyStream*>(self);
    if (s.failed_) return s.Fail();
    if (s.descriptor_ >= 0) {
        bool now = false;
        for (;;) {
            if (!(now ? s.signals_.KeepGoingNow() : s.signals_.KeepGoing())) return s.Fail();
            const ssize_t n = ::read(s.descriptor_, buffer, size);
            if (n >= 0) return n;
            const int error = errno;
            // A signal interrupted the read: its handler runs first.
            now = error == EINTR;
            if (now) continue;
            py::gil_scoped_acquire locked;
            errno = error;
            PyErr_SetFromErrno(PyExc_OSError);
            return s.Fail();
        }
    }
    py::gil_scoped_acquire locked;
    try {
        std::size_t n = 0;
        if (py::hasattr(s.file_, "readinto")) {
            // Room of Python's own, copied out: a file object may keep what
            // it is handed, and a view of the stream's buffer would outlive it.
            const auto room = py::reinterpret_steal<py::object>(
                PyByteArray_FromStringAndSize(nullptr, static_cast<py::ssize_t>(size)));
            if (!room) throw py::error_already_set();
            const py::object got = s.file_.attr("readinto")(room);
            // None: a non-blocking stream that has nothing yet.
            if (got.is_none()) throw py::value_error("the file object had no bytes ready (a non-blocking stream?)");
            n = got.cast<std::size_t>();
            if (n > static_cast<std::size_t>(PyByteArray_Size(room.ptr())))
                throw py::value_error("readinto answered more bytes than it was given room for");
            std::memcpy(buffer, PyByteArray_AsString(room.ptr()), n);
        } else {
            const py::bytes got = s.file_.attr("read")(size);
            const std::string bytes = got;
            n = std::min(bytes.size(), size);
            std::memcpy(buffer, bytes.data(), n);
        }
        if (n > size) throw py::value_error("readinto answered more bytes than it was given room for");
        if (PyErr_CheckSignals() != 0) throw py::error_already_set();
        return static_cast<ssize_t>(n);
    } catch (py::error_already_set& e) {
        e.restore();
    } catch (const py::cast_error&) {
        PyErr_SetString(PyExc_TypeError, "the file object's read did not answer bytes");
    } catch (const py::builtin_exception& e) {
        e.set_error();
    }
    return s.Fail();
}

ssize_t PyStream::WriteBlock(void* self, const char* buffer, std::size_t size) {
    auto& s = *static_cast<PyStream*>(self);
    if (s.failed_) return s.Fail();
    py::gil_scoped_acquire locked;
    try {
        std::size_t done = 0;
        while (done < size) {
            // A copy, for the same reason: the file object may keep it.
            const py::object wrote = s.file_.attr("write")(py::bytes(buffer + done, size - done));
            // Buffered files write all and answer the count; raw ones may
            // write less; None: a non-blocking stream that took nothing.
            if (wrote.is_none()) throw py::value_error("the file object took no bytes (a non-blocking stream?)");
            const auto n = wrote.cast<std::size_t>();
            if (n == 0 || n > size - done) throw py::value_error("the file object's write answered a wrong count");
            done += n;
            if (PyErr_CheckSignals() != 0) throw py::error_already_set();
        }
        return static_cast<ssize_t>(size);
    } catch (py::error_already_set& e) {
        e.restore();
    } catch (const py::cast_error&) {
        PyErr_SetString(PyExc_TypeError, "the file object's write did not answer a count");
    } catch (const py::builtin_exception& e) {
        e.set_error();
    }
    return s.Fail();
}

int PyStream::Close(void*) { return 0; }

}  // namespace gantline
