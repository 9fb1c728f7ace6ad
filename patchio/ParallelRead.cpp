#include "patchio/ParallelRead.h"

#include <atomic>
#include <string>

#include "os/Stream.h"

namespace parallelread {
namespace {
std::atomic<std::int64_t> itemsTaken{0};
}  // namespace

// The items read ahead are held in a slot per thread and one more, each up
// to a chunk's worth with room to spare: chunks of a 512th of the input
// keep them a few hundredths of the set read (whose items take about a
// third of their text), chunks below 64 KiB would read the file's blocks
// about one and a half times over.
std::size_t ChunkBytes(const PatchIO& set, std::size_t size) {
    constexpr std::size_t kLeast = std::size_t{1} << 16;
    const std::size_t share = size / 512 > kLeast ? size / 512 : kLeast;
    return set.ChunkBytes() < share ? set.ChunkBytes() : share;
}

bool WorthIt(const PatchIO& set, std::size_t size) { return set.Threads() > 1 && size > 2 * ChunkBytes(set, size); }

std::int64_t ItemsTakenAhead() { return itemsTaken.load(std::memory_order_relaxed); }

ReadAhead::ReadAhead(const PatchIO& set, const char* text, std::size_t size, ChunkReader read)
    : text_(text),
      size_(size),
      chunkBytes_(ChunkBytes(set, size)),
      chunks_((size + chunkBytes_ - 1) / chunkBytes_),
      read_(read) {
    Begin(set.Threads());
}

ReadAhead::ReadAhead(const PatchIO& set, const std::string& path, std::FILE* reading, std::size_t size,
                     ChunkReader read)
    : path_(path),
      reading_(reading),
      size_(size),
      chunkBytes_(ChunkBytes(set, size)),
      chunks_((size + chunkBytes_ - 1) / chunkBytes_),
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

// Each slot reads through tokens of its own over the whole input, moved to
// each chunk in turn: text in memory where it stands, a file through a
// stream of its own.
void ReadAhead::ReadChunk(std::size_t chunk, Slot& slot) {
    if (!slot.tokens) {
        if (text_) {
            slot.tokens = std::make_unique<BlockTokeniser>(text_, size_);
        } else {
            slot.file.reset(std::fopen(path_.c_str(), "rb"));
            // A file put in place of the one being read would mix two files.
            if (slot.file && !os::SameFile(slot.file.get(), reading_)) slot.file.reset();
            if (!slot.file) {
                slot.items.runs.clear();  // nothing read ahead: the reader reads the chunk itself
                return;
            }
            slot.tokens = std::make_unique<BlockTokeniser>(slot.file.get());
        }
    }
    ChunkText text;
    text.tokens = slot.tokens.get();
    text.size = size_;
    text.from = static_cast<std::int64_t>(chunk * chunkBytes_);
    const std::size_t to = (chunk + 1) * chunkBytes_;
    text.to = static_cast<std::int64_t>(to < size_ ? to : size_);
    read_(text, slot.items);
}

// Runs lie in input order, chunk after chunk, each from its first token:
// the reader's position is compared once it has passed the delimiters that
// stand next. Runs that begin before it were passed by the reader (it read
// those items itself) and are dropped; a chunk is waited for only once the
// reader has reached it.
const Run* ReadAhead::RunAt(BlockTokeniser& tokens, bool patches, std::int32_t first, std::int32_t most) {
    tokens.SkipDelimiters();
    const std::int64_t position = tokens.Consumed();
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
            if (run.start > position || run.patches != patches || run.first != first || run.count > most)
                return nullptr;
            ++run_;
            itemsTaken.fetch_add(run.count, std::memory_order_relaxed);
            return &run;
        }
        slot_ = nullptr;
        ++chunk_;
    }
}

std::int32_t ReadAhead::Points(BlockTokeniser& tokens, std::int32_t first, std::int32_t most, const Float3*& points) {
    const Run* run = RunAt(tokens, false, first, most);
    if (!run || !tokens.MoveTo(run->end)) return 0;
    points = slot_->items.items.VertData() + run->at;
    return run->count;
}

std::int32_t ReadAhead::Patches(BlockTokeniser& tokens, std::int32_t first, std::int32_t most,
                                const ExportPatch*& patches) {
    const Run* run = RunAt(tokens, true, first, most);
    if (!run || !tokens.MoveTo(run->end)) return 0;
    patches = slot_->items.items.PatchData() + run->at;
    return run->count;
}

}  // namespace parallelread
