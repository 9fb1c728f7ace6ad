// Ferrule.dlu loaded from beside the test program, as a host loads it, and
// its exports found by name.
#pragma once

#include <cstdint>
#include <string>

#include "host/HostInterfaces.h"
#include "host/WinTypes.h"

namespace wintest {

using LibDescriptionFn = const char* (*)();
using LibNumberClassesFn = int (*)();
using LibClassDescFn = HostClassDesc* (*)(int);
using LibVersionFn = std::uint32_t (*)();

// The folder of the running program, with a trailing backslash.
inline std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

class PluginModule {
public:
    PluginModule() : module_(LoadLibraryA(Path().c_str())) {}
    ~PluginModule() {
        if (module_) FreeLibrary(module_);
    }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    static std::string Path() { return ProgramFolder() + "Ferrule.dlu"; }

    HMODULE Handle() const { return module_; }

    template <typename Function>
    Function Find(const char* nameOrOrdinal) const {
        // Through the one function type that converts to every other.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module_, nameOrOrdinal)));
    }

    const char* LibDescription() const { return Find<LibDescriptionFn>("LibDescription")(); }
    int LibNumberClasses() const { return Find<LibNumberClassesFn>("LibNumberClasses")(); }
    HostClassDesc* LibClassDesc(int index) const { return Find<LibClassDescFn>("LibClassDesc")(index); }
    std::uint32_t LibVersion() const { return Find<LibVersionFn>("LibVersion")(); }

    // The utility object, as the host obtains it.
    HostUtility* Utility() const { return static_cast<HostUtility*>(LibClassDesc(0)->NewInstance(0)); }

private:
    HMODULE module_;
};

}  // namespace wintest
