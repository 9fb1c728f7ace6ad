// The operating-system seam on POSIX.
#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "os/Library.h"
#include "os/Paths.h"
#include "os/Shell.h"
#include "os/Terminal.h"

extern char** environ;

namespace os {

const char kPathSeparator = '/';
const char* const kTempFallbackFolder = "/tmp";
const bool kNativeWindowSystem = false;

void OpenInShell(const char* path) {
    const char* file = path ? path : "";
    const bool desktop = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!desktop) {
        std::fprintf(stderr, "no desktop to open %s with\n", file);
        return;
    }
    // No shell is involved: the path reaches xdg-open as one argument.
    std::string program = "xdg-open";
    std::string argument = file;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "could not start xdg-open to open %s\n", file);
        return;
    }
    int status = 0;
    waitpid(child, &status, 0);
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

void* OpenLibrary(const std::string& path, std::string& error) {
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

}  // namespace os
