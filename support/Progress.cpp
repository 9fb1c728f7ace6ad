#include "support/Progress.h"

#include <chrono>
#include <utility>

namespace support {
namespace {

using Clock = std::chrono::steady_clock;
// Short work finishes before this and shows nothing.
constexpr auto kFirstDraw = std::chrono::milliseconds(400);
constexpr auto kRedraw = std::chrono::milliseconds(120);
constexpr char kFrames[] = {'|', '/', '-', '\\'};

}  // namespace

void ProgressLine::Show(const std::string& text) {
    if (!enabled_) return;
    std::fprintf(out_, "\r\033[K%s", text.c_str());
    std::fflush(out_);
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    shown_ = false;
}

Percentage::Percentage(std::FILE* out, bool enabled, std::string label, std::int64_t total, std::int64_t minimumTotal)
    : line_(out, enabled && total >= minimumTotal && total > 0), label_(std::move(label)), total_(total) {}

void Percentage::Advance(std::int64_t count) {
    if (!line_.Enabled()) return;
    done_ += count;
    const auto percent = static_cast<int>(done_ * 100 / total_);
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    line_.Show(label_ + ": " + std::to_string(percent) + "%");
}

Spinner::Spinner(std::FILE* out, bool enabled, Status status) : line_(out, enabled), status_(std::move(status)) {
    if (enabled) thread_ = std::thread([this] { Run(); });
}

Spinner::~Spinner() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Spinner::Run() {
    const Clock::time_point start = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, kFirstDraw, [this] { return done_; })) return;
    for (unsigned frame = 0; !done_; ++frame) {
        char prefix[32];
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::snprintf(prefix, sizeof prefix, "%c %.1f s ", kFrames[frame % sizeof kFrames], seconds);
        line_.Show(prefix + status_());
        wake_.wait_for(lock, kRedraw, [this] { return done_; });
    }
}

}  // namespace support
