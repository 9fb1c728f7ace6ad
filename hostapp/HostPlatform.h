// The host program's platform seam: loading a plug-in library and finding
// its exports, where the program itself lives, and whether a stream is a
// terminal. Nothing else in the host program differs by platform.
#pragma once

#include <cstdio>
#include <string>

namespace hostplatform {

// A function of a loaded library, before it is cast to its real type.
using AnyFunction = void (*)();

// Loads the library at path; answers null and says why in error on failure.
void* OpenLibrary(const std::string& path, std::string& error);
// The exported function called name, or null.
AnyFunction FindFunction(void* library, const char* name);
void CloseLibrary(void* library);

// The folder of the running program, without a trailing separator; empty
// when it cannot be told.
std::string ProgramFolder();

bool IsTerminal(std::FILE* stream);

// Whether plug-in pages live in the host layer's desktop model, where this
// program can press their buttons and answer their save requests. On
// Windows the plug-in makes real window-system calls instead, and only the
// host application (or the Windows test host) can drive its panel.
extern const bool kPanelsInDesktopModel;

}  // namespace hostplatform
