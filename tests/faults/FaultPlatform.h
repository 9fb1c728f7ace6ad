// The platform seam of the fault-injection tests: processes, permissions,
// the environment, open handles and memory in use, and modules loaded by
// path. One implementation file per platform.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace faults::platform {

int ProcessId();
// Sets name to value, or removes it for nullopt.
void SetEnvironment(const std::string& name, const std::optional<std::string>& value);
// Takes write permission away from a folder, or gives it back.
bool MakeReadOnly(const std::string& folder);
void MakeWritable(const std::string& folder);
// Whether the process writes regardless of permission bits (root).
bool IgnoresPermissions();

// Open files and other kernel handles of the process.
std::size_t OpenHandles();
// Bytes the process's heap has handed out and not taken back.
std::size_t HeapInUse();

// The built plug-in, Ferrule.dlu.
std::string PluginPath();
// A loaded module (a shared library or DLL) and its exports.
void* OpenModule(const std::string& path);
// Whether a module of that path is loaded in the process.
bool ModuleResident(const std::string& path);
void* FindExport(void* module, const char* name);
bool CloseModule(void* module);

}  // namespace faults::platform
