#include "hostapp/ExportStatus.h"

#include <cstdio>
#include <utility>

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
