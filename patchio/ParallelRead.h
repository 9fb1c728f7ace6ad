// Reading ahead on worker threads: the input is cut into chunks, and in
// each chunk a worker reads the runs of list items (points, patches) that
// its lines begin, with the reader's own item forms. The reader, going
// through the input in order on the calling thread, takes a run whenever it
// stands where the run began, at the start of an item of the run's kind and
// running index: from the same place the same forms read the same items,
// so it then goes on where the run ended. Anything else (the first lines of
// the sections, text the workers found no run in, a run that does not fit)
// the reader reads itself, so every result and every failure is its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "patchio/OrderedWork.h"
#include "patchio/PatchIO.h"
#include "text/BlockTokeniser.h"

namespace parallelread {

// Items that a worker read one after the other: where their text starts
// and ends in the input, the running index of the first, how many, and
// where they stand in the chunk's items.
struct Run {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::size_t at = 0;
    bool patches = false;
};

// What a worker read of one chunk: points as vertices, patches as patches.
struct ChunkItems {
    std::vector<Run> runs;
    ExportPatchObject items;
};

// A chunk as a worker sees it: tokens over the whole input (offsets are
// the input's), of size bytes; runs are begun on the lines that start from
// from on and before to.
struct ChunkText {
    BlockTokeniser* tokens = nullptr;
    std::size_t size = 0;
    std::int64_t from = 0;
    std::int64_t to = 0;
};

// Reads the runs of a chunk into items (emptied first).
using ChunkReader = void (*)(const ChunkText& text, ChunkItems& items);

// Bytes of a chunk of size bytes of input for a set: its chunk at most,
// less for inputs of less than a few hundred of them, so that what is held
// ahead stays small beside the set. A worker reads a block or two past its
// chunk's end to finish the item there, and the reader reads a block where
// a run ends, so chunks larger than a block keep the reads of the file
// close to one.
std::size_t ChunkBytes(const PatchIO& set, std::size_t size);
// Whether input of size bytes is read ahead for set.
bool WorthIt(const PatchIO& set, std::size_t size);
// Items that readers have taken from runs read ahead, in the whole process
// so far: for tests that check that reading ahead is used, not only that it
// reads right.
std::int64_t ItemsTakenAhead();

class ReadAhead {
public:
    // Over the size bytes of text in memory, or of the file at path that
    // the reader reads through read (each worker opens the path for itself,
    // and reads nothing ahead where that is no longer the same file), on
    // set's threads.
    ReadAhead(const PatchIO& set, const char* text, std::size_t size, ChunkReader read);
    ReadAhead(const PatchIO& set, const std::string& path, std::FILE* reading, std::size_t size, ChunkReader read);
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead();

    // Whether the workers run; when not, nothing is read ahead.
    bool Started() const { return started_; }

    // At the start of item first of a list with most items left to read:
    // the run that begins where tokens stand, of these items, or 0. When
    // there is one, its items are at points (or patches) until the next
    // call, and tokens stand where it ended.
    std::int32_t Points(BlockTokeniser& tokens, std::int32_t first, std::int32_t most, const Float3*& points);
    std::int32_t Patches(BlockTokeniser& tokens, std::int32_t first, std::int32_t most, const ExportPatch*& patches);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    // A chunk's slot: its items, and the input its worker reads (a file of
    // its own for a file), kept from chunk to chunk.
    struct Slot {
        ChunkItems items;
        std::unique_ptr<std::FILE, FileCloser> file;
        std::unique_ptr<BlockTokeniser> tokens;
    };

    void Begin(std::int32_t threads);
    void ReadChunk(std::size_t chunk, Slot& slot);
    const Run* RunAt(BlockTokeniser& tokens, bool patches, std::int32_t first, std::int32_t most);

    const char* text_ = nullptr;
    std::string path_;
    std::FILE* reading_ = nullptr;
    std::size_t size_;
    std::size_t chunkBytes_;
    std::size_t chunks_;
    ChunkReader read_;
    std::unique_ptr<ordered::Work<Slot>> work_;
    bool started_ = false;
    // The chunk whose runs are looked at, and the next of its runs.
    std::size_t chunk_ = 0;
    Slot* slot_ = nullptr;
    std::size_t run_ = 0;
};

}  // namespace parallelread
