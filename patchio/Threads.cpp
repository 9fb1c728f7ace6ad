// How many threads a set writes and reads with, and in what chunks.
#include <atomic>
#include "os/Cores.h"
#include "patchio/PatchIO.h"

namespace {

std::atomic<std::int32_t> defaultThreads{0};
std::atomic<std::size_t> defaultChunkBytes{0};

}  // namespace

void PatchIO::SetDefaultThreads(std::int32_t threads) { defaultThreads = threads < 0 ? 0 : threads; }

std::int32_t PatchIO::DefaultThreads() {
    const std::int32_t set = defaultThreads;
    if (set > 0) return set;
    return static_cast<std::int32_t>(os::UsableCores());
}

std::int32_t PatchIO::Threads() const { return threads_ > 0 ? threads_ : DefaultThreads(); }

void PatchIO::SetDefaultChunkBytes(std::size_t bytes) { defaultChunkBytes = bytes; }

std::size_t PatchIO::DefaultChunkBytes() {
    const std::size_t set = defaultChunkBytes;
    return set > 0 ? set : kChunkBytes;
}
