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

void WriteExportSet(TextSink& out, const PatchIO& set) {
    WriteVersion(out);
    WritePatchObjectCount(out, set.NumPatchObjects());
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) WritePatchObject(out, i, set.PatchObjectAt(i));
    WriteCameraCount(out, set.NumCameras());
    for (std::int32_t k = 0; k < set.NumCameras(); ++k) WriteCamera(out, k, set.CameraAt(k));
}

// A large set on several threads, in pieces; otherwise, or when no thread
// can be started, on this one. Answers false when a piece failed.
bool WriteAll(TextSink& out, const PatchIO& set) {
    if (parallelwrite::WorthIt(set)) {
        const parallelwrite::Result result = parallelwrite::Write(out, set);
        if (result != parallelwrite::Result::kNotStarted) return result == parallelwrite::Result::kWritten;
    }
    WriteExportSet(out, set);
    return true;
}

}  // namespace

std::int32_t PatchIO::WriteStream(std::FILE* stream) const {
    if (!stream) return 0;
    bool ok;
    {
        auto sink = std::make_unique<TextSink>(stream);
        ok = WriteAll(*sink, *this);
        ok = sink->Flush() && ok;
    }
    // A failed write (a full disk) is a failure, not a success.
    if (std::fflush(stream) != 0 || std::ferror(stream)) ok = false;
    return ok ? 1 : 0;
}

void PatchIO::WriteText(std::string& text) const {
    const std::size_t before = text.size();
    auto sink = std::make_unique<TextSink>(text);
    const bool ok = WriteAll(*sink, *this);
    sink->Flush();
    // A piece fails only when its text finds no memory: the string is left
    // as it was, and the failure goes to the caller as it would have.
    if (!ok) {
        text.resize(before);
        throw std::bad_alloc();
    }
}

// The new text goes beside the file and takes its place only when all of it
// was written: a failure or a killed process leaves the old file as it was.
std::int32_t PatchIO::Write(const char* path) const {
    if (!path) return 0;
    os::FileReplacement file(path, os::WriteMode::kText);
    if (!file.Stream() || WriteStream(file.Stream()) == 0) return 0;
    // A failed close or move is a failure too.
    return file.Commit() ? 1 : 0;
}

void PatchIO::WriteTempAndOpen() const {
    char path[temp_output::kMaxPath];
    if (!temp_output::TempOutputPath(std::getenv("TEMP"), path, sizeof path)) return;
    if (Write(path) == 0) return;
    os::OpenInShell(path);
}
