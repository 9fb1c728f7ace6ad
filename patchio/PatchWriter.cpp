// The patch text writer: one small function per line form of the format.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "os/FileReplace.h"
#include "os/Shell.h"
#include "patchio/ParallelWrite.h"
#include "patchio/PatchIO.h"
#include "patchio/TempOutput.h"
#include "patchio/TextSink.h"
#include "patchio/WriterForms.h"

namespace {

using namespace writerforms;

// The whole set: objectAt(i) is patch object i, cameraAt(k) camera k.
// Answers false when keepGoing stopped it.
template <typename ObjectAt, typename CameraAt>
bool WriteExportSet(TextSink& out, std::int32_t numObjects, ObjectAt objectAt, std::int32_t numCameras,
                    CameraAt cameraAt, const std::function<bool()>& keepGoing) {
    WriteVersion(out);
    WritePatchObjectCount(out, numObjects);
    for (std::int32_t i = 0; i < numObjects; ++i) {
        if (keepGoing && !keepGoing()) return false;
        WritePatchObject(out, i, objectAt(i));
    }
    if (keepGoing && !keepGoing()) return false;
    WriteCameraCount(out, numCameras);
    for (std::int32_t k = 0; k < numCameras; ++k) WriteCamera(out, k, cameraAt(k));
    return true;
}

bool WriteExportSet(TextSink& out, const PatchIO& set) {
    return WriteExportSet(
        out, set.NumPatchObjects(), [&](std::int32_t i) -> const ExportPatchObject& { return set.PatchObjectAt(i); },
        set.NumCameras(), [&](std::int32_t k) -> const ExportCamera& { return set.CameraAt(k); }, nullptr);
}

bool WriteExportSet(TextSink& out, const ExportSetParts& set) {
    return WriteExportSet(
        out, static_cast<std::int32_t>(set.patchObjects.size()),
        [&](std::int32_t i) -> const ExportPatchObject& { return *set.patchObjects[static_cast<std::size_t>(i)]; },
        static_cast<std::int32_t>(set.cameras.size()),
        [&](std::int32_t k) -> const ExportCamera& { return set.cameras[static_cast<std::size_t>(k)]; }, set.keepGoing);
}

// A large set on several threads, in pieces; otherwise, or when no thread
// can be started, on this one. Answers false when a piece failed.
bool WriteAll(TextSink& out, const PatchIO& set) {
    if (parallelwrite::WorthIt(set)) {
        const parallelwrite::Result result = parallelwrite::Write(out, set);
        if (result != parallelwrite::Result::kNotStarted) return result == parallelwrite::Result::kWritten;
    }
    return WriteExportSet(out, set);
}

// Parts held elsewhere, on this thread: their keepGoing may stop the text
// between objects.
bool WriteAll(TextSink& out, const ExportSetParts& set) { return WriteExportSet(out, set); }

// The text of set (a PatchIO or its parts) to stream; answers 1 when every
// write and the flush succeeded.
template <typename Set>
std::int32_t WriteSetStream(std::FILE* stream, const Set& set) {
    if (!stream) return 0;
    bool ok;
    {
        auto sink = std::make_unique<TextSink>(stream);
        ok = WriteAll(*sink, set);
        ok = sink->Flush() && ok;
    }
    // A failed write (a full disk) is a failure, not a success.
    if (std::fflush(stream) != 0 || std::ferror(stream)) ok = false;
    return ok ? 1 : 0;
}

// The new text goes beside the file and takes its place only when all of it
// was written: a failure or a killed process leaves the old file as it was.
template <typename Set>
std::int32_t WriteSetFile(const char* path, const Set& set) {
    if (!path) return 0;
    os::FileReplacement file(path, os::WriteMode::kText);
    if (!file.Stream() || WriteSetStream(file.Stream(), set) == 0) return 0;
    // A failed close or move is a failure too.
    return file.Commit() ? 1 : 0;
}

}  // namespace

std::int32_t PatchIO::WriteStream(std::FILE* stream) const { return WriteSetStream(stream, *this); }

void PatchIO::WriteText(std::string& text) const {
    const std::size_t before = text.size();
    // A piece fails only when its text finds no memory: the string is left
    // as it was, and the failure goes to the caller as it would have.
    try {
        auto sink = std::make_unique<TextSink>(text);
        const bool ok = WriteAll(*sink, *this);
        sink->Flush();
        if (!ok) throw std::bad_alloc();
    } catch (...) {
        text.resize(before);
        throw;
    }
}

std::int32_t PatchIO::Write(const char* path) const { return WriteSetFile(path, *this); }

std::int32_t ExportSetParts::WriteStream(std::FILE* stream) const { return WriteSetStream(stream, *this); }

std::int32_t ExportSetParts::WriteText(std::string& text) const {
    auto sink = std::make_unique<TextSink>(text);
    const bool ok = WriteExportSet(*sink, *this);
    sink->Flush();
    return ok ? 1 : 0;
}

std::int32_t ExportSetParts::Write(const char* path) const { return WriteSetFile(path, *this); }

void PatchIO::WriteTempAndOpen() const {
    char path[temp_output::kMaxPath];
    if (!temp_output::TempOutputPath(std::getenv("TEMP"), path, sizeof path)) return;
    if (Write(path) == 0) return;
    os::OpenInShell(path);
}
