// The benchmarks' scratch folder: one per program, under GANTLINE_BENCH_DIR
// or the system's temporary folder, removed with everything in it when the
// program ends.
#pragma once

#include <filesystem>

namespace bench {

class ScratchFolder {
public:
    static ScratchFolder& Instance();
    const std::filesystem::path& Path() const { return path_; }

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    ScratchFolder();
    ~ScratchFolder();

    std::filesystem::path path_;
};

}  // namespace bench
