// What the fault-injection tests share: scratch folders, files written and
// read whole, an environment variable set for one test, and the shell's
// open requests recorded instead of carried out.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "DesktopOpener.h"

namespace faults {

// A fresh folder under the system's temporary folder, removed at the end.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Sets (or, with nullopt, removes) an environment variable for the scope's
// lifetime, and puts the old value back.
class EnvironmentScope {
public:
    EnvironmentScope(std::string name, const std::optional<std::string>& value);
    ~EnvironmentScope();
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// Records the shell's requests while it lives: those that reach the
// desktop model (the plug-in's) and those that reach the platform's shell
// (the format library's).
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;
    // The files asked to be opened.
    std::vector<std::string> Opened() const;

private:
    std::vector<std::string> desktop_;
    testfiles::DesktopOpener system_;
};

// Whether this process may write where permission bits say it may not.
bool IgnoresPermissions();

}  // namespace faults
