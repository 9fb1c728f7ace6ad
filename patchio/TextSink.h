// A buffered byte sink over a C stream or a string that remembers whether
// any write failed. The patch writer formats into it piece by piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "patchio/NumberText.h"

class TextSink {
public:
    // Bytes handed to the stream at a time. Each write call costs the
    // system a fixed share besides the copy (locking the file, updating
    // its times): a megabyte at a time makes that share small next to the
    // copy, where 64 KiB at a time made it over a tenth of a large export's time.
    static constexpr std::size_t kCapacity = 1 << 20;

    explicit TextSink(std::FILE* file) : file_(file) {}
    explicit TextSink(std::string& text) : text_(&text) {}
    TextSink(const TextSink&) = delete;
    TextSink& operator=(const TextSink&) = delete;

    void Text(const char* text, std::size_t length) {
        if (length > kCapacity - used_) Flush();
        if (length > kCapacity) {
            Put(text, length);
            return;
        }
        std::memcpy(buffer_ + used_, text, length);
        used_ += length;
    }
    template <std::size_t N>
    void Literal(const char (&text)[N]) {
        Text(text, N - 1);
    }
    void Char(char c) {
        if (used_ == kCapacity) Flush();
        buffer_[used_++] = c;
    }
    void Int(std::int32_t value) {
        Reserve(numtext::kIntChars);
        used_ = static_cast<std::size_t>(numtext::FormatInt(buffer_ + used_, value) - buffer_);
    }
    void Float(float value) {
        Reserve(numtext::kFloatChars);
        used_ = static_cast<std::size_t>(numtext::FormatFloat(buffer_ + used_, value) - buffer_);
    }
    void Version(double value) {
        Reserve(numtext::kVersionChars);
        used_ = static_cast<std::size_t>(numtext::FormatVersion(buffer_ + used_, value) - buffer_);
    }

    // Room for up to bytes of text written straight into the buffer, for
    // the writer's longest lines; Done takes the end of what was written.
    // At most kCapacity bytes at a time.
    char* Room(std::size_t bytes) {
        Reserve(bytes);
        return buffer_ + used_;
    }
    void Done(const char* end) { used_ = static_cast<std::size_t>(end - buffer_); }

    // Writes out what is buffered; answers false once any write has failed.
    bool Flush() {
        if (used_ > 0) Put(buffer_, used_);
        used_ = 0;
        return ok_;
    }
    bool Ok() const { return ok_; }

    // Writes out what is buffered, then length bytes at data, without
    // copying them into the buffer: for text formatted elsewhere.
    void Direct(const char* data, std::size_t length) {
        Flush();
        if (length > 0) Put(data, length);
    }
    // The text buffered and not yet written out, and forgetting it: a sink
    // over a string whose text stays in the buffer is a piece of text that
    // another sink takes over with Direct.
    const char* Buffered() const { return buffer_; }
    std::size_t BufferedBytes() const { return used_; }
    void Discard() { used_ = 0; }

private:
    void Reserve(std::size_t room) {
        if (kCapacity - used_ < room) Flush();
    }
    void Put(const char* data, std::size_t length) {
        if (text_)
            text_->append(data, length);
        else if (ok_ && std::fwrite(data, 1, length, file_) != length)
            ok_ = false;
    }

    std::FILE* file_ = nullptr;
    std::string* text_ = nullptr;
    std::size_t used_ = 0;
    bool ok_ = true;
    char buffer_[kCapacity];
};
