// How the platform spells paths.
#pragma once

namespace os {

// The separator between a folder and a name in a path ('\\' or '/').
extern const char kPathSeparator;
// Where files go that belong in the temporary folder when the environment
// names none: the root of drive C: on Windows, /tmp on POSIX.
extern const char* const kTempFallbackFolder;

}  // namespace os
