// A stand-in for the default application of a file type: notes the file it
// was asked to open in the file that GANTLINE_OPEN_RECORD names, one line
// each, and ends.
#include <cstdio>
#include <cstdlib>

#include "host/WinTypes.h"
#include "wintest/ShellAssociation.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* record = std::getenv(wintest::kOpenRecordVariable);
    if (!record || __argc < 2) return 2;
    std::FILE* file = std::fopen(record, "a");
    if (!file) return 1;
    std::fprintf(file, "%s\n", __argv[1]);
    return std::fclose(file) == 0 ? 0 : 1;
}
