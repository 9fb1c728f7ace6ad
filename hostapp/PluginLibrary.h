// A plug-in library loaded by path, seen only through its four exported
// discovery functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/HostInterfaces.h"

struct PluginExports {
    const char* (*description)() = nullptr;
    int (*numberClasses)() = nullptr;
    HostClassDesc* (*classDesc)(int index) = nullptr;
    std::uint32_t (*version)() = nullptr;
};

class PluginLibrary {
public:
    // Loads the library and finds its exports. Answers an unloaded library
    // and says why in error when the file cannot be loaded or an export is
    // missing.
    static PluginLibrary Load(const std::string& path, std::string& error);

    bool Loaded() const { return handle_ != nullptr; }
    const PluginExports& Exports() const { return exports_; }

private:
    struct Closer {
        void operator()(void* library) const;
    };
    std::unique_ptr<void, Closer> handle_;
    PluginExports exports_;
};

// Ferrule.dlu beside the running program.
std::string DefaultPluginPath();
