// A stand-in for the desktop's "open" on POSIX: an xdg-open of the test's
// own first on the search path, with a display set, that notes every file
// it is asked to open. What the platform's shell is asked comes out here,
// exactly as a desktop would get it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace testfiles {

class DesktopOpener {
public:
    DesktopOpener() {
        const std::string script = dir_.File("xdg-open");
        WriteBytes(script, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> \"" + dir_.File("opened.log") + "\"\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        Save("PATH");
        Save("DISPLAY");
        const char* path = std::getenv("PATH");
        SetEnv("PATH", (dir_.Path().string() + ":" + (path ? path : "/usr/bin:/bin")).c_str());
        SetEnv("DISPLAY", ":gantline-test");
    }
    ~DesktopOpener() {
        for (const auto& [name, value] : saved_) SetEnv(name.c_str(), value ? value->c_str() : nullptr);
    }
    DesktopOpener(const DesktopOpener&) = delete;
    DesktopOpener& operator=(const DesktopOpener&) = delete;

    // The files asked to be opened, in order.
    std::vector<std::string> Opened() const {
        std::vector<std::string> files;
        std::ifstream log(dir_.File("opened.log"));
        for (std::string line; std::getline(log, line);) files.push_back(line);
        return files;
    }

private:
    void Save(const char* name) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace testfiles
