#include "hostapp/PluginLibrary.h"

#include "os/Library.h"

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function, std::string& error) {
    os::AnyFunction found = os::FindFunction(library, name);
    function = reinterpret_cast<Function>(found);
    if (!found && error.empty()) error = std::string("the library does not export ") + name;
    return found != nullptr;
}

}  // namespace

void PluginLibrary::Closer::operator()(void* library) const { os::CloseLibrary(library); }

PluginLibrary PluginLibrary::Load(const std::string& path, std::string& error) {
    error.clear();
    PluginLibrary plugin;
    void* library = os::OpenLibrary(path, error);
    if (!library) return plugin;
    plugin.handle_.reset(library);
    PluginExports& e = plugin.exports_;
    bool all = Find(library, "LibDescription", e.description, error);
    all = Find(library, "LibNumberClasses", e.numberClasses, error) && all;
    all = Find(library, "LibClassDesc", e.classDesc, error) && all;
    all = Find(library, "LibVersion", e.version, error) && all;
    if (!all) plugin.handle_.reset();
    return plugin;
}

std::string DefaultPluginPath() {
    const std::string folder = os::ProgramFolder();
    return folder.empty() ? std::string("Ferrule.dlu") : folder + "/Ferrule.dlu";
}
