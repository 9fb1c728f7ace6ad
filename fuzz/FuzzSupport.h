// What the fuzz targets share: a file that lives in memory but has a path
// (for comparing a read by name with a read of the same text), the
// writer's text of an export set, and a check that stops the fuzzer with a
// finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

namespace fuzz {

// A file in shared memory (where the platform has it), reachable by path
// for as long as it lives.
class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the contents with size bytes of data.
    void Fill(const std::uint8_t* data, std::size_t size);
    void Fill(const std::string& text);
    // The whole current contents.
    std::string Contents() const;
    const char* Path() const { return path_.c_str(); }

private:
    int fd_;
    std::string path_;
};

// Stops the run as a finding (the sanitizers' way: abort) when ok is false.
void Check(bool ok, const char* what);

// The patch text the writer makes of set, through file.
std::string WrittenText(const PatchIO& set);

// Whether two sets hold the same records, floats compared bit for bit (so
// that NaNs read from the same text compare equal).
bool SameSet(const PatchIO& a, const PatchIO& b);

// Walks the scene under root with the scene walker into set, and checks
// that the walk deleted exactly the objects that its conversions made.
void CollectScene(std::unique_ptr<MemoryNode> root, PatchIO& set);

// Writes set through file, reads it back and checks that the counts of
// everything survived.
void CheckWritesAndReadsBack(const PatchIO& set);

}  // namespace fuzz
