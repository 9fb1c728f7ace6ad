// The patch text writer's line forms, one small function each, shared by
// the writer on one thread and the writer in pieces on several.
#pragma once

#include <cstdint>
#include <cstring>

#include "patchio/PatchIO.h"
#include "patchio/TextSink.h"

namespace writerforms {

// Form 1: "VERSION\t%3.2f\n"
inline void WriteVersion(TextSink& out) {
    out.Literal("VERSION\t");
    out.Version(PatchIO::kFormatVersion);
    out.Char('\n');
}

// Form 2: "PATCHOBJECTS\t%d\n"
inline void WritePatchObjectCount(TextSink& out, std::int32_t count) {
    out.Literal("PATCHOBJECTS\t");
    out.Int(count);
    out.Char('\n');
}

// Form 3: "PATCHOBJECT %d\n"
inline void WritePatchObjectNumber(TextSink& out, std::int32_t number) {
    out.Literal("PATCHOBJECT ");
    out.Int(number);
    out.Char('\n');
}

// Forms 4, 6 and 8: "\tNUMVERTS %d\n", "\tNUMVECS %d\n", "\tNUMPATCHES %d\n"
template <std::size_t N>
inline void WriteCount(TextSink& out, const char (&keyword)[N], std::int32_t count) {
    out.Char('\t');
    out.Literal(keyword);
    out.Char(' ');
    out.Int(count);
    out.Char('\n');
}

// Forms 5 and 7: "\t\t%d\t%f\t%f\t%f\n", the most common line, written
// straight into the sink's buffer.
inline void WritePoint(TextSink& out, const numtext::RunningIndex& number, const Float3& p) {
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
inline void WritePatchHeader(TextSink& out, std::int32_t number, std::int32_t sides) {
    out.Literal("\t\tPATCH ");
    out.Int(number);
    out.Literal("\n\t\t\tSIDES ");
    out.Int(sides);
    out.Char('\n');
}

// Forms 11 to 14: three tabs, the keyword, a space, then "%d " per value
// (at most eight), written straight into the sink's buffer.
template <std::size_t N>
inline void WriteIndexLine(TextSink& out, const char (&keyword)[N], const std::int32_t* values, std::int32_t count) {
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
inline void WritePatch(TextSink& out, std::int32_t number, const ExportPatch& patch) {
    const std::int32_t sides = patch.sides < 0 ? 0 : (patch.sides > 4 ? 4 : patch.sides);
    WritePatchHeader(out, number, patch.sides);
    WriteIndexLine(out, "VERTS", patch.verts, sides);
    WriteIndexLine(out, "VECS", patch.vecs, 2 * sides);
    WriteIndexLine(out, "INTERIOR", patch.interior, sides);
    WriteIndexLine(out, "ADJACENT", patch.adjacent, sides);
}

// Forms 3 to 14 for one patch object.
inline void WritePatchObject(TextSink& out, std::int32_t number, const ExportPatchObject& object) {
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
inline void WriteCameraCount(TextSink& out, std::int32_t count) {
    out.Literal("NUMCAMERAS ");
    out.Int(count);
    out.Char('\n');
}

// Form 16: "CAMERA %d\t%f %f %f\t%f %f %f\n"
inline void WriteCamera(TextSink& out, std::int32_t number, const ExportCamera& camera) {
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

}  // namespace writerforms
