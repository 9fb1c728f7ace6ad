// PatchIO::Write against the plain fprintf writer, over the generated set.
// Before the timings both write the set and must give identical bytes.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchSupport.h"
#include "ReferenceWriter.h"

namespace {

using bench::Coordinates;

std::string OursPath() { return bench::ScratchFile("write-ours.txt"); }
std::string ReferencePath() { return bench::ScratchFile("write-reference.txt"); }

std::string CheckIdenticalBytes() {
    for (const Coordinates coordinates : {Coordinates::Shaped, Coordinates::Uniform}) {
        const PatchIO& set = bench::GeneratedSet(coordinates);
        if (set.Write(OursPath().c_str()) != 1) return "PatchIO::Write failed";
        if (reference::Write(set, ReferencePath().c_str()) != 1) return "the reference writer failed";
        const std::string difference = bench::CompareFiles(OursPath(), ReferencePath());
        if (!difference.empty()) return "Write and fprintf differ: " + difference;
    }
    return {};
}

// Every write goes to a new file, as an export to a new name does. The
// previous file is removed outside the timing: replacing a file that the
// disk is still writing back makes the next write wait for the disk, which
// would measure the disk rather than the writer.
void StartAfresh(benchmark::State& state, const std::string& path) {
    state.PauseTiming();
    std::remove(path.c_str());
    state.ResumeTiming();
}

void Write(benchmark::State& state, Coordinates coordinates) {
    const PatchIO& set = bench::GeneratedSet(coordinates);
    const std::string path = OursPath();
    for (auto _ : state) {
        StartAfresh(state, path);
        if (set.Write(path.c_str()) != 1) state.SkipWithError("PatchIO::Write failed");
    }
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

void WriteReference(benchmark::State& state, Coordinates coordinates) {
    const PatchIO& set = bench::GeneratedSet(coordinates);
    const std::string path = ReferencePath();
    for (auto _ : state) {
        StartAfresh(state, path);
        if (reference::Write(set, path.c_str()) != 1) state.SkipWithError("the reference writer failed");
    }
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

BENCHMARK_CAPTURE(Write, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteReference, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteReference, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckIdenticalBytes); }
