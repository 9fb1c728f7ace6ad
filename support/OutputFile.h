// A file that the programs write through a std::ostream and that replaces
// what was there only when all of it was written (see os/FileReplace.h):
// a failed or killed run leaves the old file as it was.
#pragma once

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

#include "os/FileReplace.h"

namespace support {

// Hands a std::ostream's output to a C stream, whose own buffer collects it.
class StdioBuffer : public std::streambuf {
public:
    explicit StdioBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    std::FILE* file_;
};

class OutputFile {
public:
    // Opens path for writing bytes as they are; check IsOpen.
    explicit OutputFile(const std::string& path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_.Stream() != nullptr; }
    std::ostream& Stream() { return stream_; }
    std::FILE* File() const { return file_.Stream(); }
    // Puts the written file in place; false when anything failed, the old
    // file kept. Without a call the file is abandoned.
    bool Commit();
    // Why the file could not be opened or committed.
    const std::string& Failure() const { return failure_.empty() ? file_.Failure() : failure_; }

private:
    os::FileReplacement file_;
    std::string failure_;
    StdioBuffer buffer_;
    std::ostream stream_;
};

}  // namespace support
