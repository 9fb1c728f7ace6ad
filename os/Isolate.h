// Running a piece of work where a crash cannot take the program with it.
#pragma once

#include <functional>
#include <string>

namespace os {

struct IsolatedRun {
    int result = 0;     // what the work answered, when it ended normally
    bool ended = true;  // false when it crashed or was killed
    std::string how;    // for a message when it did not end: "signal 11 (Segmentation fault)"
};

// Runs work in a child process where the platform has one to spare (POSIX:
// a fork, whose exit status carries the result), so that a fault inside a
// library the work calls, such as a scene importer reading a hostile file,
// ends the child and is reported instead of ending the program. Where it
// has none (Windows) work runs in this process. Standard output and error
// are shared; both are flushed before the child ends. Whatever the work
// changes in memory stays in the child: it reports through files, streams
// and its result (0 to 255).
IsolatedRun RunIsolated(const std::function<int()>& work);

}  // namespace os
