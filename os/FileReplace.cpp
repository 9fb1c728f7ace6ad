// The platform-independent part of replacing a file: committing or
// abandoning the write, and temporary names.
#include "os/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "os/FileReplacePlatform.h"

namespace os {

std::string replace::ErrnoText(int error) { return error != 0 ? std::strerror(error) : "a write failed"; }

FileReplacement::~FileReplacement() { Abandon(); }

void FileReplacement::Abandon() {
    if (stream_) std::fclose(stream_);
    stream_ = nullptr;
    if (!temp_.empty()) replace::RemoveFile(temp_);
    if (created_) replace::RemoveFile(target_);
    temp_.clear();
    created_ = false;
    replacing_ = false;
}

bool FileReplacement::Commit() {
    if (!stream_) return false;
    // A write that failed earlier left its reason in errno: the writers
    // stop writing after a failure.
    bool ok = !std::ferror(stream_) && std::fflush(stream_) == 0;
    if (!ok) failure_ = replace::ErrnoText(errno);
    // A killed process needs no sync (the move is atomic); a crash of the
    // machine does, where an old file's contents are at stake.
    if (ok && replacing_) ok = replace::SyncToDisk(stream_, failure_);
    const int closed = std::fclose(stream_);
    stream_ = nullptr;
    if (closed != 0 && ok) {
        failure_ = replace::ErrnoText(errno);
        ok = false;
    }
    if (ok && !temp_.empty()) ok = replace::MoveOver(temp_, target_, failure_);
    if (ok) {
        temp_.clear();
        created_ = false;
    }
    Abandon();
    return ok;
}

std::string TempSibling(const std::string& target, const char* separators, unsigned long unique,
                        std::size_t maxLength) {
    static const char kMarker[] = ".ferrule-00000000.tmp";
    const std::size_t cut = target.find_last_of(separators);
    const std::size_t nameStart = cut == std::string::npos ? 0 : cut + 1;
    const std::size_t fixed = nameStart + 1 + (sizeof kMarker - 1);
    const std::size_t room = maxLength > fixed ? maxLength - fixed : 0;
    const std::string name = target.substr(nameStart, room < kKeptNameLength ? room : kKeptNameLength);
    static const char kDigits[] = "0123456789abcdef";
    char hex[8];
    for (int i = 7; i >= 0; --i, unique >>= 4) hex[i] = kDigits[unique & 0xf];
    return target.substr(0, nameStart) + "." + name + ".ferrule-" + std::string(hex, sizeof hex) + ".tmp";
}

unsigned long UniqueNumber(unsigned long processId, unsigned long long clock) {
    static std::atomic<std::uint64_t> count{0};
    // SplitMix64's finaliser: every input bit moves about half the output bits.
    std::uint64_t x = clock ^ (std::uint64_t{processId} << 32) ^ (count.fetch_add(1) * 0x9e3779b97f4a7c15ULL);
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return static_cast<unsigned long>(x & 0xffffffffULL);
}

}  // namespace os
