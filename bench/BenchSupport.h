// What every benchmark program shares: the size of the generated export
// set, a scratch folder for the files, the checks that compare our output
// with the reference, and a main that runs those checks before the timings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ExportSetGenerator.h"
#include "patchio/PatchIO.h"

namespace benchmark {
class State;
}

namespace bench {

// Megabytes of patch text to generate: GANTLINE_BENCH_MB, 40 when unset.
// The tests set a tiny size.
double SetMegabytes();
std::size_t SetTargetBytes();
// "40 MB", for benchmark labels.
std::string SizeLabel();

using benchgen::Coordinates;

// The generated export set of SetTargetBytes(), made once per program and
// kind of coordinates.
const PatchIO& GeneratedSet(Coordinates coordinates = Coordinates::Shaped);
// Vertices, vectors, patches and cameras: the records a file carries.
std::int64_t RecordCount(const PatchIO& set);
// Bytes held by an export set: its objects' lists, its cameras, and the
// records of both lists.
std::size_t SetBytes(const PatchIO& set);
// The generated set written as patch text, made once per program and kind.
const std::string& GeneratedFile(Coordinates coordinates = Coordinates::Shaped);

// A file name in this program's scratch folder (under the system's
// temporary folder, or GANTLINE_BENCH_DIR), removed when the program ends.
std::string ScratchFile(const std::string& name);
std::size_t FileBytes(const std::string& path);

// Empty when the two files hold the same bytes; otherwise where they differ.
std::string CompareFiles(const std::string& a, const std::string& b);
// Empty when the two sets hold equal objects and cameras (coordinates bit
// for bit); otherwise the first difference.
std::string CompareSets(const PatchIO& a, const PatchIO& b);

// Bytes and records per iteration, for bytes/s and items/s.
void SetThroughput(benchmark::State& state, std::size_t bytes, std::int64_t records);

// A check that runs before the timings; answers an empty text when it
// passes, or what went wrong.
using Check = std::string (*)();

// Parses the benchmark flags, runs check (a failure ends the program with
// exit status 1, so a test that runs the program fails), then the
// benchmarks.
int Main(int argc, char** argv, Check check);

}  // namespace bench
