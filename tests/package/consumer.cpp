// Writes an export set through the installed library and checks the text.
#include <cstdio>
#include <cstring>

#include "patchio/PatchIO.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    PatchIO set;
    set.AddCamera(ExportCamera());
    if (set.Write(argv[1]) != 1) return 1;
    std::FILE* file = std::fopen(argv[1], "r");
    if (!file) return 1;
    char line[64] = {};
    const bool ok = std::fgets(line, sizeof line, file) && std::strcmp(line, "VERSION\t1.10\n") == 0;
    std::fclose(file);
    return ok ? 0 : 1;
}
