#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "ScratchFolder.h"

namespace bench {

double SetMegabytes() {
    const char* text = std::getenv("GANTLINE_BENCH_MB");
    const double value = text ? std::atof(text) : 40.0;
    return value > 0.0 ? value : 40.0;
}

std::size_t SetTargetBytes() { return static_cast<std::size_t>(SetMegabytes() * 1e6); }

std::string SizeLabel() {
    char text[32];
    std::snprintf(text, sizeof text, "%g MB", SetMegabytes());
    return text;
}

const PatchIO& GeneratedSet(Coordinates coordinates) {
    static std::unique_ptr<PatchIO> sets[2];
    std::unique_ptr<PatchIO>& set = sets[coordinates == Coordinates::Shaped ? 0 : 1];
    if (!set) {
        set = std::make_unique<PatchIO>();
        benchgen::FillExportSet(*set, SetTargetBytes(), 1, coordinates);
    }
    return *set;
}

std::int64_t RecordCount(const PatchIO& set) {
    std::int64_t records = set.NumCameras();
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        records += object.NumVerts() + object.NumVecs() + object.NumPatches();
    }
    return records;
}

std::size_t SetBytes(const PatchIO& set) {
    std::size_t bytes = static_cast<std::size_t>(set.NumCameras()) * sizeof(ExportCamera) +
                        static_cast<std::size_t>(set.NumPatchObjects()) * sizeof(ExportPatchObject);
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) bytes += set.PatchObjectAt(i).ContentBytes();
    return bytes;
}

const std::string& GeneratedFile(Coordinates coordinates) {
    static std::string paths[2];
    std::string& path = paths[coordinates == Coordinates::Shaped ? 0 : 1];
    if (path.empty()) {
        path = ScratchFile(coordinates == Coordinates::Shaped ? "generated.txt" : "generated-uniform.txt");
        GeneratedSet(coordinates).Write(path.c_str());
    }
    return path;
}

std::string ScratchFile(const std::string& name) { return (ScratchFolder::Instance().Path() / name).string(); }

std::size_t FileBytes(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? 0 : static_cast<std::size_t>(size);
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string Describe(const char* what, std::int64_t at) { return std::string(what) + " at " + std::to_string(at); }

}  // namespace

std::string CompareFiles(const std::string& a, const std::string& b) {
    FilePtr fa(std::fopen(a.c_str(), "rb"));
    FilePtr fb(std::fopen(b.c_str(), "rb"));
    if (!fa || !fb) return "cannot open " + (fa ? b : a);
    std::vector<char> ba(1 << 16), bb(1 << 16);
    std::int64_t offset = 0;
    for (;;) {
        const std::size_t na = std::fread(ba.data(), 1, ba.size(), fa.get());
        const std::size_t nb = std::fread(bb.data(), 1, bb.size(), fb.get());
        const std::size_t common = na < nb ? na : nb;
        for (std::size_t k = 0; k < common; ++k)
            if (ba[k] != bb[k]) return Describe("bytes differ", offset + static_cast<std::int64_t>(k));
        if (na != nb) return Describe("lengths differ", offset + static_cast<std::int64_t>(common));
        if (na == 0) return {};
        offset += static_cast<std::int64_t>(na);
    }
}

std::string CompareSets(const PatchIO& a, const PatchIO& b) {
    if (a.NumPatchObjects() != b.NumPatchObjects()) return "patch object counts differ";
    if (a.NumCameras() != b.NumCameras()) return "camera counts differ";
    for (std::int32_t i = 0; i < a.NumPatchObjects(); ++i)
        if (a.PatchObjectAt(i) != b.PatchObjectAt(i)) return Describe("patch objects differ", i);
    for (std::int32_t k = 0; k < a.NumCameras(); ++k)
        if (a.CameraAt(k) != b.CameraAt(k)) return Describe("cameras differ", k);
    return {};
}

void SetThroughput(benchmark::State& state, std::size_t bytes, std::int64_t records) {
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.SetItemsProcessed(state.iterations() * records);
    state.SetLabel(SizeLabel());
}

int Main(int argc, char** argv, Check check) {
    std::setlocale(LC_ALL, "C");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const std::string failure = check();
    if (!failure.empty()) {
        std::fprintf(stderr, "check failed: %s\n", failure.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
