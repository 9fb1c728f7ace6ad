// The platform seam of the tokeniser: reading a C stream byte by byte
// through its own buffer without taking the stream's lock for every byte.
// The lock is taken once around a run of reads instead.
#pragma once

#include <stdio.h>

namespace stream_read {

#if defined(_WIN32)
inline void Lock(FILE* stream) { _lock_file(stream); }
inline void Unlock(FILE* stream) { _unlock_file(stream); }
inline int Get(FILE* stream) { return _getc_nolock(stream); }
#else
inline void Lock(FILE* stream) { flockfile(stream); }
inline void Unlock(FILE* stream) { funlockfile(stream); }
inline int Get(FILE* stream) { return getc_unlocked(stream); }
#endif

// Holds the stream's lock for its lifetime; Get reads one byte (or EOF).
class LockedStream {
public:
    explicit LockedStream(FILE* stream) : stream_(stream) { Lock(stream_); }
    LockedStream(const LockedStream&) = delete;
    LockedStream& operator=(const LockedStream&) = delete;
    ~LockedStream() { Unlock(stream_); }

    int Get() { return stream_read::Get(stream_); }

private:
    FILE* stream_;
};

}  // namespace stream_read
