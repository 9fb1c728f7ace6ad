// Loading dynamic libraries by path, and where the running program lives.
#pragma once

#include <string>

namespace os {

// A function of a loaded library, before it is cast to its real type.
using AnyFunction = void (*)();

// Loads the library at path; answers null and says why in error on failure.
// A POSIX path without a slash names a file in the current folder, never one
// on the loader's search path.
void* OpenLibrary(const std::string& path, std::string& error);
// The exported function called name, or null.
AnyFunction FindFunction(void* library, const char* name);
void CloseLibrary(void* library);

// The folder of the running program, without a trailing separator; empty
// when it cannot be told.
std::string ProgramFolder();

// Whether plug-ins built for this platform make their window-system calls
// to the platform itself (Windows), rather than to the desktop model that
// stands in for it on POSIX.
extern const bool kNativeWindowSystem;

}  // namespace os
