// What the progress line shows while the plug-in exports.
#pragma once

#include <filesystem>
#include <string>

// The status of an export to path: collecting the scene until the file is
// rewritten, then how much of it is written.
class ExportStatus {
public:
    explicit ExportStatus(std::string path);
    std::string operator()() const;

private:
    std::string path_;
    std::filesystem::file_time_type before_{};  // of a file that path named already
};
