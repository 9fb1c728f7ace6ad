// PatchIO::Read against the plain fgetc/strchr/strcmp/atoi/atof reader, the
// same reader on the block tokeniser with std::from_chars, and the OBJ
// readers users would pick for the same geometry (tinyobjloader and
// assimp's importer reading it as OBJ), over both generated sets. Before
// the timings every reader reads its file and must give what was written.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "ObjReferences.h"
#include "ReferenceReader.h"

namespace {

using bench::Coordinates;

const char* Name(Coordinates coordinates) { return coordinates == Coordinates::Shaped ? "shaped" : "uniform"; }

// The set's geometry as OBJ, made once per kind.
const std::string& ObjFile(Coordinates coordinates) {
    static std::string paths[2];
    std::string& path = paths[coordinates == Coordinates::Shaped ? 0 : 1];
    if (path.empty()) {
        path = bench::ScratchFile(std::string("generated-") + Name(coordinates) + ".obj");
        reference::WriteObj(bench::GeneratedSet(coordinates), path.c_str());
    }
    return path;
}

std::int64_t Points(const PatchIO& set) {
    std::int64_t points = 0;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i)
        points += set.PatchObjectAt(i).NumVerts() + set.PatchObjectAt(i).NumVecs();
    return points;
}

std::int64_t Faces(const PatchIO& set) {
    std::int64_t faces = 0;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) faces += set.PatchObjectAt(i).NumPatches();
    return faces;
}

std::string CheckIdenticalResults(Coordinates coordinates) {
    const std::string& path = bench::GeneratedFile(coordinates);
    PatchIO ours;
    if (ours.Read(path.c_str()) != 1) return "PatchIO::Read failed";
    for (const auto read : {reference::Read, reference::ReadFromChars}) {
        PatchIO other;
        if (read(other, path.c_str()) != 1) return "a reference reader failed";
        const std::string difference = bench::CompareSets(ours, other);
        if (!difference.empty()) return "Read and a reference reader differ: " + difference;
    }
    // The file's six decimals round the coordinates, so the set read back is
    // compared with a second read of a rewrite of itself.
    const std::string again = bench::ScratchFile("read-again.txt");
    PatchIO reread;
    if (ours.Write(again.c_str()) != 1 || reread.Read(again.c_str()) != 1) return "rewrite failed";
    std::string difference = bench::CompareSets(ours, reread);
    if (!difference.empty()) return "a rewritten file reads back differently: " + difference;
    const reference::ObjCounts tiny = reference::ReadTinyObj(ObjFile(coordinates));
    if (!tiny.ok || tiny.points != Points(ours) || tiny.faces != Faces(ours)) return "tinyobjloader read otherwise";
    const reference::ObjCounts assimp = reference::ReadAssimpObj(ObjFile(coordinates));
    if (!assimp.ok || assimp.faces != Faces(ours)) return "assimp read otherwise";
    return {};
}

std::string CheckBothSets() {
    const std::string shaped = CheckIdenticalResults(Coordinates::Shaped);
    return shaped.empty() ? CheckIdenticalResults(Coordinates::Uniform) : shaped;
}

void Read(benchmark::State& state, Coordinates coordinates) {
    const std::string& path = bench::GeneratedFile(coordinates);
    PatchIO set;
    for (auto _ : state)
        if (set.Read(path.c_str()) != 1) state.SkipWithError("PatchIO::Read failed");
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

// The same on one thread and on two, whatever the machine has.
template <std::int32_t kThreads>
void ReadOnThreads(benchmark::State& state, Coordinates coordinates) {
    PatchIO::SetDefaultThreads(kThreads);
    Read(state, coordinates);
    PatchIO::SetDefaultThreads(0);
}
void ReadOneThread(benchmark::State& state, Coordinates c) { ReadOnThreads<1>(state, c); }
void ReadTwoThreads(benchmark::State& state, Coordinates c) { ReadOnThreads<2>(state, c); }

template <std::int32_t (*ReadFn)(PatchIO&, const char*)>
void ReadWith(benchmark::State& state, Coordinates coordinates) {
    const std::string& path = bench::GeneratedFile(coordinates);
    PatchIO set;
    for (auto _ : state)
        if (ReadFn(set, path.c_str()) != 1) state.SkipWithError("the reference reader failed");
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

// The OBJ readers: bytes of the OBJ file, records its points and faces.
template <reference::ObjCounts (*ReadFn)(const std::string&)>
void ReadObj(benchmark::State& state, Coordinates coordinates) {
    const std::string& path = ObjFile(coordinates);
    for (auto _ : state)
        if (!ReadFn(path).ok) state.SkipWithError("the OBJ reader failed");
    const PatchIO& set = bench::GeneratedSet(coordinates);
    bench::SetThroughput(state, bench::FileBytes(path), Points(set) + Faces(set));
}

void ReadReference(benchmark::State& state, Coordinates c) { ReadWith<reference::Read>(state, c); }
void ReadFromChars(benchmark::State& state, Coordinates c) { ReadWith<reference::ReadFromChars>(state, c); }
void ReadTinyObj(benchmark::State& state, Coordinates c) { ReadObj<reference::ReadTinyObj>(state, c); }
void ReadAssimpObj(benchmark::State& state, Coordinates c) { ReadObj<reference::ReadAssimpObj>(state, c); }

#define READERS(kind, coordinates)                                                                    \
  BENCHMARK_CAPTURE(Read, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime();           \
  BENCHMARK_CAPTURE(ReadOneThread, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime();  \
  BENCHMARK_CAPTURE(ReadTwoThreads, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime(); \
  BENCHMARK_CAPTURE(ReadReference, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime();  \
  BENCHMARK_CAPTURE(ReadFromChars, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime();  \
  BENCHMARK_CAPTURE(ReadTinyObj, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime();    \
  BENCHMARK_CAPTURE(ReadAssimpObj, kind, coordinates)->Unit(benchmark::kMillisecond)->UseRealTime()
READERS(shaped, Coordinates::Shaped);
READERS(uniform, Coordinates::Uniform);

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckBothSets); }
