// Reading a C stream byte by byte through its own buffer without taking the
// stream's lock for every byte: the lock is taken once around a run of
// reads instead. Inline, because the tokeniser reads through it byte by
// byte. And whether a stream is a regular file, which a reader can read
// ahead of what it needs without waiting for input that has not come (and
// how large: RegularFileBytes, -1 for any other stream), and whether two
// streams read the same file.
#pragma once

#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace os {

// Whether a stream opened as text reads the file's bytes as they are (no
// line ends or end-of-file bytes translated), so that offsets into the
// file and into the text read from it agree.
#if defined(_WIN32)
constexpr bool kTextReadsBytesAsTheyAre = false;
#else
constexpr bool kTextReadsBytesAsTheyAre = true;
#endif

#if defined(_WIN32)
inline void LockStream(FILE* stream) { _lock_file(stream); }
inline void UnlockStream(FILE* stream) { _unlock_file(stream); }
inline int GetUnlocked(FILE* stream) { return _getc_nolock(stream); }
inline bool IsRegularStream(FILE* stream) {
    struct _stat64 info;
    return _fstat64(_fileno(stream), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
}
inline long long RegularFileBytes(FILE* stream) {
    struct _stat64 info;
    const bool regular = _fstat64(_fileno(stream), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
    return regular ? static_cast<long long>(info.st_size) : -1;
}
// The C runtime tells no file identity here: never the same, to be safe.
inline bool SameFile(FILE*, FILE*) { return false; }
#else
inline void LockStream(FILE* stream) { flockfile(stream); }
inline void UnlockStream(FILE* stream) { funlockfile(stream); }
inline int GetUnlocked(FILE* stream) { return getc_unlocked(stream); }
inline bool IsRegularStream(FILE* stream) {
    struct stat info;
    return fstat(fileno(stream), &info) == 0 && S_ISREG(info.st_mode);
}
inline long long RegularFileBytes(FILE* stream) {
    struct stat info;
    const bool regular = fstat(fileno(stream), &info) == 0 && S_ISREG(info.st_mode);
    return regular ? static_cast<long long>(info.st_size) : -1;
}
// Whether two streams read one file, not only one name: a file replaced
// under its name between their openings is another file.
inline bool SameFile(FILE* a, FILE* b) {
    struct stat one, other;
    return fstat(fileno(a), &one) == 0 && fstat(fileno(b), &other) == 0 && one.st_dev == other.st_dev &&
           one.st_ino == other.st_ino;
}
#endif

// Holds the stream's lock for its lifetime; Get reads one byte (or EOF).
class LockedStream {
public:
    explicit LockedStream(FILE* stream) : stream_(stream) { LockStream(stream_); }
    LockedStream(const LockedStream&) = delete;
    LockedStream& operator=(const LockedStream&) = delete;
    ~LockedStream() { UnlockStream(stream_); }

    int Get() { return GetUnlocked(stream_); }

private:
    FILE* stream_;
};

}  // namespace os
