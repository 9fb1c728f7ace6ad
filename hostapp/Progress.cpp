#include "hostapp/Progress.h"

#include <chrono>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
// Short work finishes before this and shows nothing.
constexpr auto kFirstDraw = std::chrono::milliseconds(400);
constexpr auto kRedraw = std::chrono::milliseconds(120);
constexpr char kFrames[] = {'|', '/', '-', '\\'};

}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, bool enabled, Status status)
    : stream_(stream), status_(std::move(status)) {
    if (enabled) thread_ = std::thread([this] { Run(); });
}

ProgressLine::~ProgressLine() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    wake_.notify_one();
    thread_.join();
    if (drawn_) std::fprintf(stream_, "\r\033[K");
    std::fflush(stream_);
}

void ProgressLine::Run() {
    const Clock::time_point start = Clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, kFirstDraw, [this] { return done_; })) return;
    for (int frame = 0; !done_; ++frame) {
        Draw(frame, std::chrono::duration<double>(Clock::now() - start).count());
        wake_.wait_for(lock, kRedraw, [this] { return done_; });
    }
}

void ProgressLine::Draw(int frame, double seconds) {
    const char spinner = kFrames[static_cast<unsigned>(frame) % sizeof kFrames];
    std::fprintf(stream_, "\r\033[K%c %.1f s %s", spinner, seconds, status_().c_str());
    std::fflush(stream_);
    drawn_ = true;
}

ExportStatus::ExportStatus(std::string path) : path_(std::move(path)) {
    std::error_code error;
    before_ = std::filesystem::last_write_time(path_, error);
}

// Until the plug-in opens the file for writing it is collecting the scene.
std::string ExportStatus::operator()() const {
    std::error_code error;
    const auto changed = std::filesystem::last_write_time(path_, error);
    if (error || changed == before_) return "exporting: collecting the scene";
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (error) return "exporting: collecting the scene";
    char text[64];
    std::snprintf(text, sizeof text, "exporting: %.1f MB written", static_cast<double>(size) / 1e6);
    return text;
}
