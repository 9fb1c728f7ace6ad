// The operating-system seam on Windows.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include <string>

#include "os/Cores.h"
#include "os/Library.h"
#include "os/Paths.h"
#include "os/Shell.h"
#include "os/Terminal.h"

namespace os {

const char kPathSeparator = '\\';
const char* const kTempFallbackFolder = "C:";
const bool kNativeWindowSystem = true;

void OpenInShell(const char* path) { ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOW); }

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void* OpenLibrary(const std::string& path, std::string& error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library) error = "the library could not be loaded (error " + std::to_string(GetLastError()) + ")";
    return library;
}

AnyFunction FindFunction(void* library, const char* name) {
    return reinterpret_cast<AnyFunction>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    const std::string program(path, n);
    const std::size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

// The processors of the process's affinity mask. A process whose threads
// span several processor groups has no single mask (it reads as empty):
// it may use every active processor.
unsigned UsableCores() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    unsigned count = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system))
        for (; process != 0; process &= process - 1) ++count;
    if (count == 0) count = static_cast<unsigned>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS));
    return count > 0 ? count : 1;
}

}  // namespace os
