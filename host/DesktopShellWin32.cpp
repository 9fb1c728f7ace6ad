// The shell's verbs on Windows: the shell itself.
#include <string>

#include "host/Desktop.h"
#include "host/WinTypes.h"
#include <shellapi.h>

namespace desktop {

void DefaultShellExecute(const std::string& verb, const std::string& file, int show) {
    ShellExecuteA(nullptr, verb.c_str(), file.c_str(), nullptr, nullptr, show);
}

}  // namespace desktop
