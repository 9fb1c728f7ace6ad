// The platform's shell: handing a file to its default application.
#pragma once

namespace os {

// Asks the shell to "open" path with the file's default application, as
// ShellExecuteA does with no owner window, no parameters, no directory and
// SW_SHOW. On POSIX that is the desktop's xdg-open where there is a desktop;
// without one it says on stderr which file it would have opened. The
// outcome is not reported.
void OpenInShell(const char* path);

}  // namespace os
