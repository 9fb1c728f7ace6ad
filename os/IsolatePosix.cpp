// Isolated runs on POSIX: the work runs in a forked child.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "os/Isolate.h"

namespace os {

IsolatedRun RunIsolated(const std::function<int()>& work) {
    // What is buffered now would be written twice, once by each process.
    std::fflush(nullptr);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) return IsolatedRun{work(), true, ""};  // no child to be had: run here
    if (child == 0) {
        // The work ends with the program: a killed program leaves no child
        // behind that goes on writing its files.
        if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(128 + SIGKILL);
        const int result = work();
        std::fflush(nullptr);
        // Not exit(): the parent's exit handlers and static objects are its own.
        _exit(result);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return IsolatedRun{0, false, std::string("lost the child: ") + std::strerror(errno)};
    }
    if (WIFEXITED(status)) return IsolatedRun{WEXITSTATUS(status), true, ""};
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    const char* name = strsignal(signal);
    return IsolatedRun{0, false, "signal " + std::to_string(signal) + " (" + (name ? name : "unknown") + ")"};
}

}  // namespace os
