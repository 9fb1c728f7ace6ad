// C streams over Python's binary file objects and over bytes in memory, so
// that the format library reads and writes them as it does files. The C
// library calls back for each block (a megabyte) without the interpreter's
// lock; a callback takes the lock, calls the file object and runs Python's
// signal handlers, so that Ctrl-C stops a read of a stream that never ends.
//
// The module is built for Linux only (with the interpreter it runs in):
// the streams are glibc's fopencookie.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <sys/types.h>

#include "python/Signals.h"

namespace gantline {

namespace py = pybind11;

class PyStream {
public:
    // Reads file.readinto(buffer) (or file.read(n)) block by block.
    static std::unique_ptr<PyStream> Reader(py::object file);
    // Reads the regular file behind raw (an unbuffered io.FileIO, which
    // reads nothing ahead) straight from its descriptor, as a C stream
    // would, taking the lock only to look for signals.
    static std::unique_ptr<PyStream> RawFile(py::object raw);
    // Writes with file.write(bytes) block by block.
    static std::unique_ptr<PyStream> Writer(py::object file);
    ~PyStream();
    PyStream(const PyStream&) = delete;
    PyStream& operator=(const PyStream&) = delete;

    std::FILE* Stream() const { return stream_; }
    // The bytes a reader holds from its position on, 0 when it cannot tell
    // (a pipe, a socket, a file object of Python's own).
    std::size_t BytesLeft() const { return bytesLeft_; }
    // Closes the stream (a writer flushes what it holds); call it with the
    // lock held. Then raises the Python error (an OSError of the file
    // object, KeyboardInterrupt) that stopped the work, if one did.
    void CloseAndRaise();

private:
    PyStream() = default;
    static ssize_t ReadBlock(void* self, char* buffer, std::size_t size);
    static ssize_t WriteBlock(void* self, const char* buffer, std::size_t size);
    static int Close(void* self);
    void Open(const char* mode);
    ssize_t Fail();

    py::object file_;
    int descriptor_ = -1;
    std::size_t bytesLeft_ = 0;
    std::FILE* stream_ = nullptr;
    // A Python error is set and waits (in this thread's state) to be raised.
    bool failed_ = false;
    SignalCheck signals_;
};

}  // namespace gantline
