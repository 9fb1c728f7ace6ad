// PatchIO::Read against the plain fgetc/strchr/strcmp/atoi/atof reader, over
// the generated set's file. Before the timings both read the file and must
// give the set that was written.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "ReferenceReader.h"

namespace {

using bench::Coordinates;

std::string CheckIdenticalResults(Coordinates coordinates) {
    const std::string& path = bench::GeneratedFile(coordinates);
    PatchIO ours;
    PatchIO plain;
    if (ours.Read(path.c_str()) != 1) return "PatchIO::Read failed";
    if (reference::Read(plain, path.c_str()) != 1) return "the reference reader failed";
    std::string difference = bench::CompareSets(ours, plain);
    if (!difference.empty()) return "Read and the reference reader differ: " + difference;
    // The file's six decimals round the coordinates, so the set read back is
    // compared with a second read of a rewrite of itself.
    const std::string again = bench::ScratchFile("read-again.txt");
    PatchIO reread;
    if (ours.Write(again.c_str()) != 1 || reread.Read(again.c_str()) != 1) return "rewrite failed";
    difference = bench::CompareSets(ours, reread);
    return difference.empty() ? difference : "a rewritten file reads back differently: " + difference;
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

void ReadReference(benchmark::State& state, Coordinates coordinates) {
    const std::string& path = bench::GeneratedFile(coordinates);
    PatchIO set;
    for (auto _ : state)
        if (reference::Read(set, path.c_str()) != 1) state.SkipWithError("the reference reader failed");
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

BENCHMARK_CAPTURE(Read, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ReadReference, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Read, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ReadReference, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckBothSets); }
