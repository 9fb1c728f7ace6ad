// Export records and the export set: what one export collects from the host
// scene, what the patch text writer writes and what the reader fills back in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "host/HostInterfaces.h"
#include "host/HostTypes.h"

// One triangular or quadrilateral patch: 21 signed 32-bit integers.
// -1 in an index slot means there is no index.
struct ExportPatch {
    std::int32_t sides = 4;
    std::int32_t verts[4] = {-1, -1, -1, -1};
    std::int32_t vecs[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t interior[4] = {-1, -1, -1, -1};
    std::int32_t adjacent[4] = {-1, -1, -1, -1};

    ExportPatch() = default;
    // Converts patch ownIndex of mesh; adjacency comes from mesh's edges.
    ExportPatch(const HostPatch& patch, const HostPatchMesh& mesh, std::int32_t ownIndex);

    // The sides whose slots the record holds: 3 for a triangle, 4 for
    // anything else (the slots of a quadrilateral are all there is).
    std::int32_t SlotSides() const { return sides == 3 ? 3 : 4; }

    friend bool operator==(const ExportPatch& a, const ExportPatch& b);
    friend bool operator!=(const ExportPatch& a, const ExportPatch& b) { return !(a == b); }
};

// One patch object: its patches, vertices and vectors, in host order.
class ExportPatchObject {
public:
    ExportPatchObject() = default;
    // Copies a host patch mesh: vertices, vectors and patches, in host order.
    explicit ExportPatchObject(const HostPatchMesh& mesh);

    std::int32_t NumVerts() const { return static_cast<std::int32_t>(verts.size()); }
    std::int32_t NumVecs() const { return static_cast<std::int32_t>(vecs.size()); }
    std::int32_t NumPatches() const { return static_cast<std::int32_t>(patches.size()); }

    // No range guard: callers keep 0 <= i < the count.
    Float3 VertAt(std::int32_t i) const { return verts[static_cast<std::size_t>(i)]; }
    Float3 VecAt(std::int32_t i) const { return vecs[static_cast<std::size_t>(i)]; }
    // Guarded: an index outside the list is reported and answers a default
    // record.
    const ExportPatch& PatchAt(std::int32_t i) const;

    // The lists' elements in place (NumVerts(), NumVecs() and NumPatches()
    // of them, contiguous), for callers that view or edit them without a
    // copy. Valid until the lists change size.
    Float3* VertData() { return verts.data(); }
    const Float3* VertData() const { return verts.data(); }
    Float3* VecData() { return vecs.data(); }
    const Float3* VecData() const { return vecs.data(); }
    ExportPatch* PatchData() { return patches.data(); }
    const ExportPatch* PatchData() const { return patches.data(); }

    void AddVert(const Float3& point) { verts.push_back(point); }
    void AddVec(const Float3& point) { vecs.push_back(point); }
    void AddPatch(const ExportPatch& patch) { patches.push_back(patch); }

    // Empties the three lists, keeping their room for reuse.
    void Empty() {
        verts.clear();
        vecs.clear();
        patches.clear();
    }
    // Reserves room for lists of known size.
    void Reserve(std::size_t numVerts, std::size_t numVecs, std::size_t numPatches);
    // Bytes held by the three lists' elements.
    std::size_t ContentBytes() const;

    friend bool operator==(const ExportPatchObject& a, const ExportPatchObject& b);
    friend bool operator!=(const ExportPatchObject& a, const ExportPatchObject& b) { return !(a == b); }

private:
    std::vector<ExportPatch> patches;
    std::vector<Float3> verts;
    std::vector<Float3> vecs;
};

// One look-at camera: its position and its target's position.
struct ExportCamera {
    Float3 position{0.0f, 0.0f, 100.0f};
    Float3 target{0.0f, 0.0f, 0.0f};

    friend bool operator==(const ExportCamera& a, const ExportCamera& b) {
        return a.position == b.position && a.target == b.target;
    }
    friend bool operator!=(const ExportCamera& a, const ExportCamera& b) { return !(a == b); }
};

// Why a read failed: where, what was found, and what was expected there.
struct ReadFailure {
    bool opened = false;          // false: the file could not be opened
    std::int64_t line = 0;        // of the failing token, from 1
    std::int64_t column = 0;      // of the failing token, from 1
    bool atEnd = false;           // the file ended where a token was expected
    std::string found;            // the failing token (empty at the end)
    std::string expected;         // what the format demands there
    std::string Message() const;  // "expected ... found ..."
};

// The export set: patch objects and cameras, in the order they were added.
// Owns everything it holds; not copied.
class PatchIO {
public:
    // The format version that Write writes: 1.1, which "%3.2f" prints as
    // "1.10". Versions up to kLastVersionWithoutCameras end after their
    // patch objects; the reader knows those two versions.
    static constexpr double kFormatVersion = 1.1;
    static constexpr double kLastVersionWithoutCameras = 1.0;
    // The bytes that separate the format's tokens: carriage return, tab,
    // newline, blank and the two braces (and, as for every tokeniser, the
    // zero byte).
    static constexpr char kDelimiters[] = "\r\t\n {}";

    PatchIO() = default;
    PatchIO(const PatchIO&) = delete;
    PatchIO& operator=(const PatchIO&) = delete;
    ~PatchIO() { Clear(); }

    void Clear();

    std::int32_t NumPatchObjects() const { return static_cast<std::int32_t>(patchObjects.size()); }
    std::int32_t NumCameras() const { return static_cast<std::int32_t>(cameras.size()); }
    // No range guard: callers keep 0 <= i < the count.
    ExportPatchObject& PatchObjectAt(std::int32_t i) { return patchObjects[static_cast<std::size_t>(i)]; }
    const ExportPatchObject& PatchObjectAt(std::int32_t i) const { return patchObjects[static_cast<std::size_t>(i)]; }
    ExportCamera& CameraAt(std::int32_t i) { return cameras[static_cast<std::size_t>(i)]; }
    const ExportCamera& CameraAt(std::int32_t i) const { return cameras[static_cast<std::size_t>(i)]; }

    // Appends a copy; the rvalue overload moves a finished object in.
    void AddPatchObject(const ExportPatchObject& object) { patchObjects.push_back(object); }
    void AddPatchObject(ExportPatchObject&& object) { patchObjects.push_back(std::move(object)); }
    void AddCamera(const ExportCamera& camera) { cameras.push_back(camera); }

    // Writes the set as patch text, version 1.10. Answers 1 when the file
    // was opened, written and closed in full, 0 otherwise. The text is
    // written beside the file and replaces it only when complete, so a
    // failure leaves the old file as it was (a FIFO, a device or a file with
    // several hard links is written in place).
    std::int32_t Write(const char* path) const;
    // The same text written to an open stream, which stays open; answers 1
    // when every write and the flush succeeded.
    std::int32_t WriteStream(std::FILE* stream) const;
    // The same text appended to text.
    void WriteText(std::string& text) const;
    // Writes to patchIO_out.txt in the folder named by "TEMP" and asks the
    // shell to open it.
    void WriteTempAndOpen() const;

    // Reads a patch text file into the set (emptied first). Answers 1 when
    // the whole expected sequence was read. When why is given and the read
    // fails, it tells why; finding the place costs a count of line ends
    // while reading, so it is made only then.
    std::int32_t Read(const char* path, ReadFailure* why = nullptr);
    // Asked between blocks of a long read whether to go on.
    using KeepGoing = std::function<bool()>;
    // The same for a file that the caller opened (as text, "r"), from where
    // it stands; it stays open. When path names that same file and the file
    // stands at its start, workers read ahead through path (each opens it,
    // and reads nothing where it is no longer the same file). keepGoing,
    // when given, is asked on the calling thread before each block that
    // thread reads (on one thread, every 32 KiB of text; with workers, at
    // every chunk): once it answers false the read stops and answers 0, and
    // why says no more than that the file was opened.
    std::int32_t ReadFile(std::FILE* file, const char* path, ReadFailure* why = nullptr,
                          const KeepGoing& keepGoing = nullptr);
    // The same from the size bytes at text.
    std::int32_t ReadText(const char* text, std::size_t size, ReadFailure* why = nullptr,
                          const KeepGoing& keepGoing = nullptr);
    // The same from an open stream, from its position on. The stream stays
    // open; it is read in blocks, so it ends up past where the read stopped
    // (a pipe or terminal only up to the delimiter after the last token).
    std::int32_t ReadStream(std::FILE* stream, ReadFailure* why = nullptr);
    // The same for a stream that the caller reads to its end anyway (one
    // over another language's file object, say): read in whole blocks even
    // where it is a pipe, so it may wait for more input than the set needs.
    // bytesLeft, the bytes the stream holds (0: not known), bounds the room
    // reserved for the counts the text declares.
    std::int32_t ReadWholeStream(std::FILE* stream, std::size_t bytesLeft, ReadFailure* why = nullptr);

    // Threads that Write and Read use at most: 0 (the default) takes
    // DefaultThreads(); 1 writes and reads on the calling thread alone.
    // Sets of a few chunks or less always do. Whatever the count, the text
    // written and the set read (or the reason a read fails) are the same.
    void SetThreads(std::int32_t threads) { threads_ = threads < 0 ? 0 : threads; }
    // The count in effect: at least 1.
    std::int32_t Threads() const;
    // Text per piece of parallel work; 0 (the default) is DefaultChunkBytes().
    // Tests cut text into pieces of a few bytes with it.
    void SetChunkBytes(std::size_t bytes) { chunkBytes_ = bytes; }
    std::size_t ChunkBytes() const { return chunkBytes_ == 0 ? DefaultChunkBytes() : chunkBytes_; }
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 18;
    // The chunk for sets that set none, for the whole process: kChunkBytes
    // unless set (0 restores it); tests run whole suites in small chunks.
    static void SetDefaultChunkBytes(std::size_t bytes);
    static std::size_t DefaultChunkBytes();
    // The count for sets that set none: the cores the process may run on,
    // unless set (0 restores that); a setting for the whole process, read
    // when a set writes or reads.
    static void SetDefaultThreads(std::int32_t threads);
    static std::int32_t DefaultThreads();

    // Collects the host scene (patch objects and look-at cameras) into the
    // set, depth-first from the root. Always answers 1.
    std::int32_t CollectScene();
    // Collects from node and, when recurse is not 0, from its descendants.
    std::int32_t CollectNode(HostNode* node, std::int32_t recurse);

private:
    std::vector<ExportPatchObject> patchObjects;
    std::vector<ExportCamera> cameras;
    std::int32_t threads_ = 0;
    std::size_t chunkBytes_ = 0;
};

// An export set that lives elsewhere (in another language's objects, say),
// written byte for byte as a PatchIO holding the same objects and cameras
// writes, without copying the objects into one. They must stay unchanged
// while they are written. keepGoing, when set, is asked before each patch
// object and before the cameras; when it answers false the writing stops
// and fails (a file being replaced stays as it was).
struct ExportSetParts {
    std::vector<const ExportPatchObject*> patchObjects;
    std::vector<ExportCamera> cameras;
    std::function<bool()> keepGoing;

    // As PatchIO::Write, WriteStream and WriteText; WriteText answers 0
    // when keepGoing stopped it.
    std::int32_t Write(const char* path) const;
    std::int32_t WriteStream(std::FILE* stream) const;
    std::int32_t WriteText(std::string& text) const;
};
