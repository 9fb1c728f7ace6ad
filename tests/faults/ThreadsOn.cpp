// The fault suite again with the format library's work on several threads
// in small chunks: every set of the suite past a few bytes is written and
// read in pieces, and failures must leave the same files and give the same
// answers as on one thread.
#include "patchio/PatchIO.h"

namespace {

constexpr std::int32_t kThreads = 4;
constexpr std::size_t kChunkBytes = 64;

const bool threadsOn = [] {
    PatchIO::SetDefaultThreads(kThreads);
    PatchIO::SetDefaultChunkBytes(kChunkBytes);
    return true;
}();

}  // namespace
