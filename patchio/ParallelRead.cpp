#include "patchio/ParallelRead.h"

#include <string>

namespace parallelread {
namespace {

// Bytes a worker reads of a file past its chunk's end, so that the items
// begun before the end end inside what it read: many of the longest lines.
// An item that does not is left to the reader.
constexpr std::size_t kOverlap = 8192;

}  // namespace

std::size_t ChunkBytes(const PatchIO& set) {
    const std::size_t quarter = set.ChunkBytes() / 4;
    return quarter > 0 ? quarter : 1;
}

bool WorthIt(const PatchIO& set, std::size_t size) { return set.Threads() > 1 && size > 2 * ChunkBytes(set); }

ReadAhead::ReadAhead(const PatchIO& set, const char* text, std::size_t size, ChunkReader read)
    : text_(text), size_(size), chunkBytes_(ChunkBytes(set)), chunks_((size + chunkBytes_ - 1) / chunkBytes_),
      read_(read) {
    Begin(set.Threads());
}

ReadAhead::ReadAhead(const PatchIO& set, const std::string& path, std::size_t size, ChunkReader read)
    : path_(path), size_(size), chunkBytes_(ChunkBytes(set)), chunks_((size + chunkBytes_ - 1) / chunkBytes_),
      read_(read) {
    Begin(set.Threads());
}

ReadAhead::~ReadAhead() {
    if (work_) work_->Finish();
}

void ReadAhead::Begin(std::int32_t threads) {
    // The calling thread reads chunks too, when it has to wait for one.
    work_ = std::make_unique<ordered::Work<Slot>>(chunks_, threads - 1, static_cast<std::size_t>(threads) + 1);
    started_ = work_->Start([this](std::size_t chunk, Slot& slot) { ReadChunk(chunk, slot); });
}

// Text in memory is read where it stands; of a file, the chunk and the
// overlap are read, from the byte before the chunk on (a line end there
// makes the chunk's first byte a line's first).
void ReadAhead::ReadChunk(std::size_t chunk, Slot& slot) const {
    ChunkText text;
    const std::size_t from = chunk * chunkBytes_;
    const std::size_t to = from + chunkBytes_ < size_ ? from + chunkBytes_ : size_;
    text.from = static_cast<std::int64_t>(from);
    text.to = static_cast<std::int64_t>(to);
    if (text_) {
        text.data = text_;
        text.size = size_;
    } else {
        if (!slot.file) slot.file.reset(std::fopen(path_.c_str(), "rb"));
        const std::size_t origin = from > 0 ? from - 1 : 0;
        const std::size_t want = to - origin + kOverlap < size_ - origin ? to - origin + kOverlap : size_ - origin;
        slot.bytes.resize(want);
        std::size_t got = 0;
        if (slot.file && std::fseek(slot.file.get(), static_cast<long>(origin), SEEK_SET) == 0)
            got = std::fread(slot.bytes.data(), 1, want, slot.file.get());
        text.data = slot.bytes.data();
        text.size = got;
        text.origin = static_cast<std::int64_t>(origin);
    }
    read_(text, slot.items);
}

// Runs lie in input order, chunk after chunk. Those that begin before
// position were passed by the reader (it read those items itself) and are
// dropped; a chunk is waited for only once the reader has reached it.
const Run* ReadAhead::RunAt(std::int64_t position, bool patches, std::int32_t first, std::int32_t most) {
    for (;;) {
        if (!slot_) {
            if (!started_ || chunk_ >= chunks_ || position < static_cast<std::int64_t>(chunk_ * chunkBytes_))
                return nullptr;
            slot_ = work_->Take(chunk_);
            run_ = 0;
            if (!slot_) {
                started_ = false;  // a worker failed: the reader reads the rest itself
                return nullptr;
            }
        }
        const std::vector<Run>& runs = slot_->items.runs;
        while (run_ < runs.size() && runs[run_].start < position) ++run_;
        if (run_ < runs.size()) {
            const Run& run = runs[run_];
            if (run.start > position || run.patches != patches || run.first != first || run.count > most) return nullptr;
            ++run_;
            return &run;
        }
        slot_ = nullptr;
        ++chunk_;
    }
}

std::int32_t ReadAhead::Points(BlockTokeniser& tokens, std::int32_t first, std::int32_t most, const Float3*& points) {
    const Run* run = RunAt(tokens.Consumed(), false, first, most);
    if (!run || !tokens.MoveTo(run->end)) return 0;
    points = slot_->items.items.VertData() + run->at;
    return run->count;
}

std::int32_t ReadAhead::Patches(BlockTokeniser& tokens, std::int32_t first, std::int32_t most,
                                const ExportPatch*& patches) {
    const Run* run = RunAt(tokens.Consumed(), true, first, most);
    if (!run || !tokens.MoveTo(run->end)) return 0;
    patches = slot_->items.items.PatchData() + run->at;
    return run->count;
}

}  // namespace parallelread
