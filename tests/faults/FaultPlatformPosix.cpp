#include <dirent.h>
#include <dlfcn.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "FaultPlatform.h"

namespace faults::platform {

int ProcessId() { return static_cast<int>(getpid()); }

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

bool MakeReadOnly(const std::string& folder) { return chmod(folder.c_str(), 0555) == 0; }
void MakeWritable(const std::string& folder) { chmod(folder.c_str(), 0755); }
bool IgnoresPermissions() { return geteuid() == 0; }

std::size_t OpenHandles() {
    std::size_t count = 0;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder) return 0;
    while (readdir(folder)) ++count;
    closedir(folder);
    return count;
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

std::string PluginPath() { return FERRULE_PLUGIN_PATH; }

void* OpenModule(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }

bool ModuleResident(const std::string& path) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module) dlclose(module);
    return module != nullptr;
}
void* FindExport(void* module, const char* name) { return dlsym(module, name); }
bool CloseModule(void* module) { return dlclose(module) == 0; }

}  // namespace faults::platform
