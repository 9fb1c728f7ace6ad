// What a loaded module shows the Windows loader and the resource functions:
// its export and import directories, and its resources.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/WinTypes.h"

namespace wintest {

struct NamedExport {
    std::string name;
    std::uint32_t ordinal = 0;  // biased by the directory's ordinal base
    const void* address = nullptr;
};

struct ExportDirectory {
    std::string moduleName;
    std::uint32_t ordinalBase = 0;
    std::uint32_t functionCount = 0;
    std::vector<NamedExport> named;  // in the directory's (sorted) name order
};

// The export directory of a module loaded in this process.
ExportDirectory ReadExports(HMODULE module);

// The DLL names in the import directory of a loaded module.
std::vector<std::string> ImportedDllNames(HMODULE module);

// The full path of a loaded module.
std::string ModulePath(HMODULE module);

// True when the loaded module named dll lives in the system folder.
bool IsSystemModule(const std::string& dll);

// The bytes of a resource in exactly the given language, or nothing.
std::optional<std::vector<std::uint8_t>> ResourceBytes(HMODULE module, const char* type, const char* name,
                                                       WORD language);

// The fixed part and the raw block of a file's version resource.
struct VersionResource {
    VS_FIXEDFILEINFO fixed{};
    std::vector<char> block;
};
std::optional<VersionResource> ReadVersionResource(const std::string& path);

// A value of the version resource by query path, e.g.
// "\\StringFileInfo\\0c0904b0\\ProductName"; nothing when absent.
std::optional<std::string> VersionString(const VersionResource& version, const std::string& query);

// The language and code page pairs of "\\VarFileInfo\\Translation".
std::vector<std::pair<WORD, WORD>> VersionTranslations(const VersionResource& version);

}  // namespace wintest
