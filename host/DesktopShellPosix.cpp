// The shell's "open" on POSIX desktops: the desktop's default application.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/Desktop.h"

extern char** environ;

namespace desktop {

void DefaultShellExecute(const std::string& verb, const std::string& file, int) {
    const bool desktop = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (verb != "open" || !desktop) {
        std::fprintf(stderr, "no desktop to %s %s with\n", verb.c_str(), file.c_str());
        return;
    }
    // No shell is involved: the path reaches xdg-open as one argument.
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(file.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "could not start xdg-open to open %s\n", file.c_str());
        return;
    }
    int status = 0;
    waitpid(child, &status, 0);
}

}  // namespace desktop
