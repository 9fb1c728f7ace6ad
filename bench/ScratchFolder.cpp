#include "ScratchFolder.h"

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

namespace bench {

ScratchFolder& ScratchFolder::Instance() {
    static ScratchFolder folder;
    return folder;
}

ScratchFolder::ScratchFolder() {
    const char* chosen = std::getenv("GANTLINE_BENCH_DIR");
    const std::filesystem::path parent =
        chosen && *chosen ? std::filesystem::path(chosen) : std::filesystem::temp_directory_path();
    std::random_device seed;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 random(seed() ^ now);
    path_ = parent / ("gantline-bench-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace bench
