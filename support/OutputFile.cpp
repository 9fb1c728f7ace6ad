#include "support/OutputFile.h"

namespace support {

StdioBuffer::int_type StdioBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(traits_type::to_char_type(c), file_) == EOF ? traits_type::eof() : c;
}

std::streamsize StdioBuffer::xsputn(const char* text, std::streamsize count) {
    return static_cast<std::streamsize>(std::fwrite(text, 1, static_cast<std::size_t>(count), file_));
}

OutputFile::OutputFile(const std::string& path)
    : file_(path, os::WriteMode::kBinary), buffer_(file_.Stream()), stream_(IsOpen() ? &buffer_ : nullptr) {}

bool OutputFile::Commit() {
    if (!IsOpen()) return false;
    // A stream that went bad lost some of the file: it is abandoned.
    if (!stream_.flush()) {
        failure_ = "a write failed";
        return false;
    }
    return file_.Commit();
}

}  // namespace support
