// PatchIO::Write against the plain fprintf writer, over the generated set.
// Before the timings both write the set and must give identical bytes.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchSupport.h"
#include "ReferenceWriter.h"

namespace {

std::string OursPath() { return bench::ScratchFile("write-ours.txt"); }
std::string ReferencePath() { return bench::ScratchFile("write-reference.txt"); }

std::string CheckIdenticalBytes() {
    const PatchIO& set = bench::GeneratedSet();
    if (set.Write(OursPath().c_str()) != 1) return "PatchIO::Write failed";
    if (reference::Write(set, ReferencePath().c_str()) != 1) return "the reference writer failed";
    const std::string difference = bench::CompareFiles(OursPath(), ReferencePath());
    return difference.empty() ? difference : "Write and fprintf differ: " + difference;
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

void Write(benchmark::State& state) {
    const PatchIO& set = bench::GeneratedSet();
    const std::string path = OursPath();
    for (auto _ : state) {
        StartAfresh(state, path);
        if (set.Write(path.c_str()) != 1) state.SkipWithError("PatchIO::Write failed");
    }
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

void WriteReference(benchmark::State& state) {
    const PatchIO& set = bench::GeneratedSet();
    const std::string path = ReferencePath();
    for (auto _ : state) {
        StartAfresh(state, path);
        if (reference::Write(set, path.c_str()) != 1) state.SkipWithError("the reference writer failed");
    }
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

BENCHMARK(Write)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteReference)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckIdenticalBytes); }
