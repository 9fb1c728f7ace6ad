// The C++ side of bench/python_read.py: writes the generated export set to
// a file, or times PatchIO::Read of a file, so that the Python module's read
// of the same file has its reference; and the same geometry as OBJ, for OBJ
// readers measured beside ours outside the project.
//   bench_read_file write PATH [uniform]
//                                      the shaped (or uniform) set of
//                                      GANTLINE_BENCH_MB
//   bench_read_file write-obj PATH [uniform]
//                                      its geometry as OBJ
//   bench_read_file time PATH REPEATS [THREADS]
//                                      prints the fastest read in seconds and
//                                      the records read, on THREADS threads
//                                      (default: the library's own choice)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "ObjReferences.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: bench_read_file write PATH [uniform] | write-obj PATH [uniform] | "
                 "time PATH REPEATS [THREADS]\n");
    return 2;
}

int Time(const char* path, int repeats, std::int32_t threads) {
    double fastest = 1e300;
    std::int64_t records = 0;
    for (int r = 0; r < repeats; ++r) {
        PatchIO set;
        if (threads > 0) set.SetThreads(threads);
        const auto start = std::chrono::steady_clock::now();
        const std::int32_t ok = set.Read(path);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            std::fprintf(stderr, "bench_read_file: %s does not read\n", path);
            return 2;
        }
        if (took.count() < fastest) fastest = took.count();
        records = bench::RecordCount(set);
    }
    std::printf("%.6f %lld\n", fastest, static_cast<long long>(records));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool writes = (command == "write" || command == "write-obj") &&
                        (argc == 3 || (argc == 4 && std::string(argv[3]) == "uniform"));
    if (writes) {
        const PatchIO& set = bench::GeneratedSet(argc == 4 ? bench::Coordinates::Uniform : bench::Coordinates::Shaped);
        if (command == "write-obj") return reference::WriteObj(set, argv[2]) ? 0 : 1;
        return set.Write(argv[2]) ? 0 : 1;
    }
    if (command == "time" && (argc == 4 || argc == 5))
        return Time(argv[2], std::atoi(argv[3]), argc == 5 ? std::atoi(argv[4]) : 0);
    return Usage();
}
