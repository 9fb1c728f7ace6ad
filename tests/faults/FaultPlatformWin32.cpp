#include "host/WinTypes.h"
#include <malloc.h>

#include "FaultPlatform.h"

namespace faults::platform {

int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }

void SetEnvironment(const std::string& name, const std::optional<std::string>& value) {
    // _putenv with "NAME=" removes the variable.
    _putenv_s(name.c_str(), value ? value->c_str() : "");
}

bool MakeReadOnly(const std::string&) { return false; }
void MakeWritable(const std::string&) {}
bool IgnoresPermissions() { return false; }

std::size_t OpenHandles() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

std::size_t HeapInUse() {
    std::size_t used = 0;
    _HEAPINFO entry{};
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY) used += entry._size;
    return used;
}

// Beside the test program, where the host looks for it.
std::string PluginPath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.find_last_of('\\') + 1) + "Ferrule.dlu";
}

void* OpenModule(const std::string& path) { return reinterpret_cast<void*>(LoadLibraryA(path.c_str())); }

bool ModuleResident(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }
void* FindExport(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
bool CloseModule(void* module) { return FreeLibrary(static_cast<HMODULE>(module)) != 0; }

}  // namespace faults::platform
