#include "FaultSupport.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

#include "FaultPlatform.h"
#include "desktop/Desktop.h"

namespace faults {

namespace {

desktop::ShellHandler previousShell;

}  // namespace

Scratch::Scratch() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("gantline-faults-" + std::to_string(platform::ProcessId()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

Scratch::~Scratch() {
    std::error_code ignored;
    platform::MakeWritable(path_.string());
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

EnvironmentScope::EnvironmentScope(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    platform::SetEnvironment(name_, value);
}

EnvironmentScope::~EnvironmentScope() { platform::SetEnvironment(name_, previous_); }

ShellRecorder::ShellRecorder() {
    previousShell = desktop::SetShellHandler(
        [this](const std::string&, const std::string& file, int) { desktop_.push_back(file); });
}

std::vector<std::string> ShellRecorder::Opened() const {
    std::vector<std::string> files = desktop_;
    for (const std::string& file : system_.Opened()) files.push_back(file);
    return files;
}

ShellRecorder::~ShellRecorder() { desktop::SetShellHandler(std::move(previousShell)); }

bool IgnoresPermissions() { return platform::IgnoresPermissions(); }

}  // namespace faults
