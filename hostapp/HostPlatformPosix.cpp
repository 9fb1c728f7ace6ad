#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "hostapp/HostPlatform.h"

namespace hostplatform {

const bool kPanelsInDesktopModel = true;

void* OpenLibrary(const std::string& path, std::string& error) {
    // A path without a slash would make the loader search its library path
    // instead of opening the named file.
    const std::string named = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(named.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        error = why ? why : "the library could not be loaded";
    }
    return library;
}

AnyFunction FindFunction(void* library, const char* name) {
    return reinterpret_cast<AnyFunction>(dlsym(library, name));
}

void CloseLibrary(void* library) {
    if (library) dlclose(library);
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    const std::string program(path, static_cast<std::size_t>(n));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

}  // namespace hostplatform
