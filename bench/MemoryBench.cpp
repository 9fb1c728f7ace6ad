// Peak resident memory, each measured in a child process of its own:
// - Read: the peak over the process before the read, against the export set
//   that the read builds;
// - Export: CollectScene and Write of a scene of patch objects, the peak
//   over the process before the host scene was made, against the host's
//   patch data plus the export set;
// - ExportConverted: the same for the million-triangle polygon mesh, whose
//   host data is the polygon mesh plus the patch mesh that the host's
//   conversion makes for the walker to copy.
// Reported as counters: peak_MB, set_MB, host_MB and ratio (peak over what
// is held). The measurements are made by the check before the benchmarks,
// whose failure fails the program.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"
#include "ExportSetGenerator.h"
#include "GeneratedScene.h"
#include "PeakMemory.h"
#include "TriangleMesh.h"

namespace {

constexpr double kMegabyte = 1e6;

// The generated file, written by a child so that this process stays small.
const std::string& ReadInput() {
    static const std::string path = [] {
        const std::string made = bench::ScratchFile("memory-read.txt");
        peakmem::InChild([&made](peakmem::Probe&) {
            PatchIO set;
            benchgen::FillExportSet(set, bench::SetTargetBytes());
            return std::vector<double>{static_cast<double>(set.Write(made.c_str()))};
        });
        return made;
    }();
    return path;
}

peakmem::Report MeasureRead() {
    const std::string& path = ReadInput();
    return peakmem::InChild([&path](peakmem::Probe&) {
        PatchIO set;
        const std::int32_t ok = set.Read(path.c_str());
        return std::vector<double>{static_cast<double>(ok), static_cast<double>(bench::SetBytes(set))};
    });
}

peakmem::Report MeasureExport() {
    const std::string path = bench::ScratchFile("memory-export.txt");
    return peakmem::InChild([&path](peakmem::Probe& probe) {
        benchgen::GeneratedScene scene = benchgen::MakeScene(bench::SetTargetBytes());
        const std::size_t hostBytes = scene.hostBytes;
        benchgen::ActiveScene active(std::move(scene.root));
        probe.RestartPeak();
        PatchIO set;
        set.CollectScene();
        const std::int32_t ok = set.Write(path.c_str());
        probe.Stop();
        return std::vector<double>{static_cast<double>(ok), static_cast<double>(bench::SetBytes(set)),
                                   static_cast<double>(hostBytes)};
    });
}

// The export of the converted triangle mesh: the host data is the polygon
// mesh and the patch mesh that the host's conversion makes (and the walker
// deletes once copied).
peakmem::Report MeasureConvertedExport() {
    const std::string path = bench::ScratchFile("memory-converted.txt");
    return peakmem::InChild([&path](peakmem::Probe& probe) {
        std::string error;
        std::unique_ptr<MemoryObject> mesh = benchgen::LoadTriangleMesh(benchgen::ExportTriangles(), error);
        if (!mesh) return std::vector<double>{0.0};
        const std::size_t sourceBytes = mesh->sourceBytes;
        MemoryObject& object = *mesh;
        auto root = std::make_unique<MemoryNode>("root");
        root->AddChild("triangles")->SetObject(std::move(mesh));
        benchgen::ActiveScene active(std::move(root));
        probe.RestartPeak();
        PatchIO set;
        set.CollectScene();
        const std::int32_t ok = set.Write(path.c_str());
        probe.Stop();
        const std::size_t setBytes = bench::SetBytes(set);
        return std::vector<double>{static_cast<double>(ok), static_cast<double>(setBytes),
                                   static_cast<double>(sourceBytes + benchgen::ConvertedBytes(object))};
    });
}

// Each measurement is made once, by the check before the benchmarks; the
// benchmarks report it.
template <peakmem::Report (*Measure)()>
const peakmem::Report& Measured() {
    static const peakmem::Report report = Measure();
    return report;
}

// Empty when the measurement worked and its work succeeded (its first value
// is 1) with count values; otherwise what went wrong.
std::string Failure(const peakmem::Report& report, std::size_t count, const char* what) {
    if (!report.error.empty()) return report.error;
    if (report.values.size() != count || report.values[0] != 1.0)
        return std::string(what) + " failed in the measuring child";
    return {};
}

std::string CheckMeasurable() {
    std::string failure = Failure(Measured<MeasureRead>(), 2, "Read");
    if (failure.empty()) failure = Failure(Measured<MeasureExport>(), 3, "the export");
    if (failure.empty()) failure = Failure(Measured<MeasureConvertedExport>(), 3, "the converted export");
    return failure;
}

void Report(benchmark::State& state, const peakmem::Report& report, double heldBytes) {
    state.counters["peak_MB"] = report.peakBytes / kMegabyte;
    state.counters["ratio"] = heldBytes > 0 ? report.peakBytes / heldBytes : 0.0;
    state.SetLabel(bench::SizeLabel());
}

void ReadPeak(benchmark::State& state) {
    const peakmem::Report& report = Measured<MeasureRead>();
    for (auto _ : state) benchmark::DoNotOptimize(&report);
    state.counters["set_MB"] = report.values[1] / kMegabyte;
    Report(state, report, report.values[1]);
}

template <peakmem::Report (*Measure)()>
void ExportPeak(benchmark::State& state) {
    const peakmem::Report& report = Measured<Measure>();
    for (auto _ : state) benchmark::DoNotOptimize(&report);
    state.counters["set_MB"] = report.values[1] / kMegabyte;
    state.counters["host_MB"] = report.values[2] / kMegabyte;
    Report(state, report, report.values[1] + report.values[2]);
}

BENCHMARK(ReadPeak)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ExportPeak, MeasureExport)->Name("ExportPeak")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(ExportPeak, MeasureConvertedExport)
    ->Name("ExportConvertedPeak")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv, CheckMeasurable); }
