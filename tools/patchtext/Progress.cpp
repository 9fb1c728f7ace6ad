#include "tools/patchtext/Progress.h"

namespace patchtool {

Progress::Progress(std::FILE* out, bool enabled, std::string label, std::int64_t total,
                   std::int64_t minimumTotal)
    : out_(out), active_(enabled && total >= minimumTotal && total > 0), label_(std::move(label)), total_(total) {}

Progress::~Progress() { Finish(); }

void Progress::Advance(std::int64_t count) {
    if (!active_) return;
    done_ += count;
    const auto percent = static_cast<int>(done_ * 100 / total_);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    std::fprintf(out_, "\r%s: %d%%", label_.c_str(), percent);
    std::fflush(out_);
}

void Progress::Finish() {
    if (!active_) return;
    active_ = false;
    if (shownPercent_ >= 0) std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
}

}  // namespace patchtool
