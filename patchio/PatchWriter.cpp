// The patch text writer: one small function per line form of the format.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "os/FileReplace.h"
#include "os/Shell.h"
#include "patchio/PatchIO.h"
#include "patchio/TempOutput.h"
#include "patchio/TextSink.h"

namespace {

// Form 1: "VERSION\t%3.2f\n"
void WriteVersion(TextSink& out) {
    out.Literal("VERSION\t");
    out.Version(PatchIO::kFormatVersion);
    out.Char('\n');
}

// Form 2: "PATCHOBJECTS\t%d\n"
void WritePatchObjectCount(TextSink& out, std::int32_t count) {
    out.Literal("PATCHOBJECTS\t");
    out.Int(count);
    out.Char('\n');
}

// Form 3: "PATCHOBJECT %d\n"
void WritePatchObjectNumber(TextSink& out, std::int32_t number) {
    out.Literal("PATCHOBJECT ");
    out.Int(number);
    out.Char('\n');
}

// Forms 4, 6 and 8: "\tNUMVERTS %d\n", "\tNUMVECS %d\n", "\tNUMPATCHES %d\n"
template <std::size_t N>
void WriteCount(TextSink& out, const char (&keyword)[N], std::int32_t count) {
    out.Char('\t');
    out.Literal(keyword);
    out.Char(' ');
    out.Int(count);
    out.Char('\n');
}

// Forms 5 and 7: "\t\t%d\t%f\t%f\t%f\n", the most common line, written
// straight into the sink's buffer.
void WritePoint(TextSink& out, const numtext::RunningIndex& number, const Float3& p) {
    constexpr std::size_t kLongest = 2 + numtext::kIntChars + 3 * (1 + numtext::kFloatChars) + 1;
    char* at = out.Room(kLongest);
    at[0] = '\t';
    at[1] = '\t';
    at = number.Put(at + 2);
    *at = '\t';
    at = numtext::FormatFloat(at + 1, p.x);
    *at = '\t';
    at = numtext::FormatFloat(at + 1, p.y);
    *at = '\t';
    at = numtext::FormatFloat(at + 1, p.z);
    *at = '\n';
    out.Done(at + 1);
}

// Forms 9 and 10: "\t\tPATCH %d\n", "\t\t\tSIDES %d\n"
void WritePatchHeader(TextSink& out, std::int32_t number, std::int32_t sides) {
    out.Literal("\t\tPATCH ");
    out.Int(number);
    out.Literal("\n\t\t\tSIDES ");
    out.Int(sides);
    out.Char('\n');
}

// Forms 11 to 14: three tabs, the keyword, a space, then "%d " per value
// (at most eight), written straight into the sink's buffer.
template <std::size_t N>
void WriteIndexLine(TextSink& out, const char (&keyword)[N], const std::int32_t* values, std::int32_t count) {
    constexpr std::size_t kLongest = 3 + (N - 1) + 1 + 8 * (numtext::kIntChars + 1) + 1;
    char* at = out.Room(kLongest);
    std::memcpy(at, "\t\t\t", 3);
    std::memcpy(at + 3, keyword, N - 1);
    at[3 + N - 1] = ' ';
    at += 3 + N;
    for (std::int32_t i = 0; i < count; ++i) {
        at = numtext::FormatInt(at, values[i]);
        *at++ = ' ';
    }
    *at = '\n';
    out.Done(at + 1);
}

// Forms 9 to 14 for one patch. A record whose side count is not 3 or 4
// writes no more values than its slots hold.
void WritePatch(TextSink& out, std::int32_t number, const ExportPatch& patch) {
    const std::int32_t sides = patch.sides < 0 ? 0 : (patch.sides > 4 ? 4 : patch.sides);
    WritePatchHeader(out, number, patch.sides);
    WriteIndexLine(out, "VERTS", patch.verts, sides);
    WriteIndexLine(out, "VECS", patch.vecs, 2 * sides);
    WriteIndexLine(out, "INTERIOR", patch.interior, sides);
    WriteIndexLine(out, "ADJACENT", patch.adjacent, sides);
}

// Forms 3 to 14 for one patch object.
void WritePatchObject(TextSink& out, std::int32_t number, const ExportPatchObject& object) {
    WritePatchObjectNumber(out, number);
    WriteCount(out, "NUMVERTS", object.NumVerts());
    numtext::RunningIndex vertex;
    for (std::int32_t j = 0; j < object.NumVerts(); ++j, vertex.Next()) WritePoint(out, vertex, object.VertAt(j));
    WriteCount(out, "NUMVECS", object.NumVecs());
    numtext::RunningIndex vector;
    for (std::int32_t j = 0; j < object.NumVecs(); ++j, vector.Next()) WritePoint(out, vector, object.VecAt(j));
    WriteCount(out, "NUMPATCHES", object.NumPatches());
    for (std::int32_t j = 0; j < object.NumPatches(); ++j) WritePatch(out, j, object.PatchAt(j));
}

// Form 15: "NUMCAMERAS %d\n"
void WriteCameraCount(TextSink& out, std::int32_t count) {
    out.Literal("NUMCAMERAS ");
    out.Int(count);
    out.Char('\n');
}

// Form 16: "CAMERA %d\t%f %f %f\t%f %f %f\n"
void WriteCamera(TextSink& out, std::int32_t number, const ExportCamera& camera) {
    out.Literal("CAMERA ");
    out.Int(number);
    out.Char('\t');
    out.Float(camera.position.x);
    out.Char(' ');
    out.Float(camera.position.y);
    out.Char(' ');
    out.Float(camera.position.z);
    out.Char('\t');
    out.Float(camera.target.x);
    out.Char(' ');
    out.Float(camera.target.y);
    out.Char(' ');
    out.Float(camera.target.z);
    out.Char('\n');
}

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
        [&](std::int32_t k) -> const ExportCamera& { return set.cameras[static_cast<std::size_t>(k)]; },
        set.keepGoing);
}

// The text of set (a PatchIO or its parts) to stream; answers 1 when every
// write and the flush succeeded.
template <typename Set>
std::int32_t WriteSetStream(std::FILE* stream, const Set& set) {
    if (!stream) return 0;
    bool ok;
    {
        auto sink = std::make_unique<TextSink>(stream);
        ok = WriteExportSet(*sink, set);
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
    auto sink = std::make_unique<TextSink>(text);
    WriteExportSet(*sink, *this);
    sink->Flush();
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
