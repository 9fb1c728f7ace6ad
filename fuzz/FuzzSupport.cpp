#include "fuzz/FuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

namespace {

// Shared memory's file system where there is one: no disk, and opening by
// path is as quick as it gets.
std::string MemoryFolder() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"; }

}  // namespace

MemoryFile::MemoryFile() {
    static int counter = 0;
    path_ = MemoryFolder() + "/gantline-fuzz-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    Check(fd_ >= 0, "the memory file is created");
}

MemoryFile::~MemoryFile() {
    close(fd_);
    unlink(path_.c_str());
}

void MemoryFile::Fill(const std::uint8_t* data, std::size_t size) {
    Check(ftruncate(fd_, 0) == 0, "ftruncate");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
        Check(wrote > 0, "pwrite");
        done += static_cast<std::size_t>(wrote);
    }
}

void MemoryFile::Fill(const std::string& text) {
    Fill(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::string MemoryFile::Contents() const {
    std::string text;
    char buffer[4096];
    off_t at = 0;
    for (;;) {
        const ssize_t got = pread(fd_, buffer, sizeof buffer, at);
        Check(got >= 0, "pread");
        if (got == 0) return text;
        text.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

std::string WrittenText(const PatchIO& set) {
    std::string text;
    set.WriteText(text);
    return text;
}

namespace {

bool SameBits(const Float3& a, const Float3& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameObject(const ExportPatchObject& a, const ExportPatchObject& b) {
    if (a.NumVerts() != b.NumVerts() || a.NumVecs() != b.NumVecs() || a.NumPatches() != b.NumPatches()) return false;
    for (std::int32_t i = 0; i < a.NumVerts(); ++i)
        if (!SameBits(a.VertAt(i), b.VertAt(i))) return false;
    for (std::int32_t i = 0; i < a.NumVecs(); ++i)
        if (!SameBits(a.VecAt(i), b.VecAt(i))) return false;
    for (std::int32_t i = 0; i < a.NumPatches(); ++i)
        if (a.PatchAt(i) != b.PatchAt(i)) return false;
    return true;
}

}  // namespace

bool SameSet(const PatchIO& a, const PatchIO& b) {
    if (a.NumPatchObjects() != b.NumPatchObjects() || a.NumCameras() != b.NumCameras()) return false;
    for (std::int32_t i = 0; i < a.NumPatchObjects(); ++i)
        if (!SameObject(a.PatchObjectAt(i), b.PatchObjectAt(i))) return false;
    for (std::int32_t i = 0; i < a.NumCameras(); ++i) {
        if (!SameBits(a.CameraAt(i).position, b.CameraAt(i).position)) return false;
        if (!SameBits(a.CameraAt(i).target, b.CameraAt(i).target)) return false;
    }
    return true;
}

void CollectScene(std::unique_ptr<MemoryNode> root, PatchIO& set) {
    MemoryInterface core;
    core.SetRoot(std::move(root));
    Interface* previous = SetCOREInterface(&core);
    const MemoryHostStats before = HostStats();
    set.CollectScene();
    const MemoryHostStats& after = HostStats();
    Check(after.conversions - before.conversions == after.ownedDeletes - before.ownedDeletes,
          "every object a conversion made is deleted");
    Check(after.illegalDeletes == before.illegalDeletes, "no object of the scene is deleted");
    SetCOREInterface(previous);
}

void CheckWritesAndReadsBack(const PatchIO& set) {
    const std::string text = WrittenText(set);
    PatchIO read;
    Check(read.ReadText(text.data(), text.size()) == 1, "the written set reads back");
    Check(read.NumPatchObjects() == set.NumPatchObjects(), "patch objects survive");
    Check(read.NumCameras() == set.NumCameras(), "cameras survive");
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& a = read.PatchObjectAt(i);
        const ExportPatchObject& b = set.PatchObjectAt(i);
        Check(a.NumVerts() == b.NumVerts() && a.NumVecs() == b.NumVecs() && a.NumPatches() == b.NumPatches(),
              "lists survive");
        for (std::int32_t k = 0; k < a.NumPatches(); ++k) Check(a.PatchAt(k) == b.PatchAt(k), "patches survive");
    }
}

}  // namespace fuzz
