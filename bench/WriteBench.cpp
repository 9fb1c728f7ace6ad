// PatchIO::Write against the plain fprintf writer and a writer on
// std::to_chars, over both generated sets, and on one thread and on two. Before the timings all of them
// write each set and must give identical bytes.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchSupport.h"
#include "ReferenceWriter.h"

namespace {

using bench::Coordinates;

std::string OursPath() { return bench::ScratchFile("write-ours.txt"); }
std::string ReferencePath() { return bench::ScratchFile("write-reference.txt"); }
std::string ToCharsPath() { return bench::ScratchFile("write-to-chars.txt"); }

std::string CheckIdenticalBytes() {
    for (const Coordinates coordinates : {Coordinates::Shaped, Coordinates::Uniform}) {
        const PatchIO& set = bench::GeneratedSet(coordinates);
        if (set.Write(OursPath().c_str()) != 1) return "PatchIO::Write failed";
        if (reference::Write(set, ReferencePath().c_str()) != 1) return "the reference writer failed";
        if (reference::WriteToChars(set, ToCharsPath().c_str()) != 1) return "the to_chars writer failed";
        std::string difference = bench::CompareFiles(OursPath(), ReferencePath());
        if (!difference.empty()) return "Write and fprintf differ: " + difference;
        difference = bench::CompareFiles(OursPath(), ToCharsPath());
        if (!difference.empty()) return "Write and to_chars differ: " + difference;
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

// One writer over one set, every write to a fresh file.
template <typename WriteFn>
void Measure(benchmark::State& state, Coordinates coordinates, const std::string& path, WriteFn write) {
    const PatchIO& set = bench::GeneratedSet(coordinates);
    for (auto _ : state) {
        StartAfresh(state, path);
        if (write(set, path.c_str()) != 1) state.SkipWithError("the writer failed");
    }
    bench::SetThroughput(state, bench::FileBytes(path), bench::RecordCount(set));
}

void Write(benchmark::State& state, Coordinates coordinates) {
    Measure(state, coordinates, OursPath(), [](const PatchIO& set, const char* path) { return set.Write(path); });
}

// The same on one thread and on two, whatever the machine has.
template <std::int32_t kThreads>
void WriteOnThreads(benchmark::State& state, Coordinates coordinates) {
    PatchIO::SetDefaultThreads(kThreads);
    Write(state, coordinates);
    PatchIO::SetDefaultThreads(0);
}
void WriteOneThread(benchmark::State& state, Coordinates c) { WriteOnThreads<1>(state, c); }
void WriteTwoThreads(benchmark::State& state, Coordinates c) { WriteOnThreads<2>(state, c); }

void WriteReference(benchmark::State& state, Coordinates coordinates) {
    Measure(state, coordinates, ReferencePath(), reference::Write);
}

void WriteToChars(benchmark::State& state, Coordinates coordinates) {
    Measure(state, coordinates, ToCharsPath(), reference::WriteToChars);
}

BENCHMARK_CAPTURE(Write, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteOneThread, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteTwoThreads, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteReference, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteToChars, shaped, Coordinates::Shaped)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(Write, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteOneThread, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteTwoThreads, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteReference, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteToChars, uniform, Coordinates::Uniform)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckIdenticalBytes); }
