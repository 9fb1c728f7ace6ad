#include "wintest/ModuleImage.h"

#include <cstring>

#include "text/AsciiCase.h"

namespace wintest {
namespace {

const std::uint8_t* Base(HMODULE module) { return reinterpret_cast<const std::uint8_t*>(module); }

const IMAGE_DATA_DIRECTORY& Directory(HMODULE module, int entry) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base(module));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base(module) + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

template <typename T>
const T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<const T*>(Base(module) + rva);
}

std::string Folder(UINT (*query)(LPSTR, UINT)) {
    char folder[MAX_PATH] = "";
    const UINT length = query(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? LowerAscii(folder) + "\\" : std::string();
}

UINT SystemFolder(LPSTR buffer, UINT size) { return GetSystemDirectoryA(buffer, size); }
UINT Wow64Folder(LPSTR buffer, UINT size) { return GetSystemWow64DirectoryA(buffer, size); }

}  // namespace

ExportDirectory ReadExports(HMODULE module) {
    ExportDirectory result;
    const IMAGE_DATA_DIRECTORY& entry = Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (entry.VirtualAddress == 0) return result;
    const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(module, entry.VirtualAddress);
    result.moduleName = At<char>(module, exports->Name);
    result.ordinalBase = exports->Base;
    result.functionCount = exports->NumberOfFunctions;
    const auto* names = At<DWORD>(module, exports->AddressOfNames);
    const auto* ordinals = At<WORD>(module, exports->AddressOfNameOrdinals);
    const auto* functions = At<DWORD>(module, exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        NamedExport named;
        named.name = At<char>(module, names[i]);
        named.ordinal = exports->Base + ordinals[i];
        named.address = At<void>(module, functions[ordinals[i]]);
        result.named.push_back(named);
    }
    return result;
}

std::vector<std::string> ImportedDllNames(HMODULE module) {
    std::vector<std::string> dlls;
    const IMAGE_DATA_DIRECTORY& entry = Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (entry.VirtualAddress == 0) return dlls;
    for (const auto* import = At<IMAGE_IMPORT_DESCRIPTOR>(module, entry.VirtualAddress); import->Name != 0; ++import)
        dlls.emplace_back(At<char>(module, import->Name));
    return dlls;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

bool IsSystemModule(const std::string& dll) {
    HMODULE module = GetModuleHandleA(dll.c_str());
    if (!module) return false;
    const std::string path = LowerAscii(ModulePath(module));
    for (const std::string& folder : {Folder(SystemFolder), Folder(Wow64Folder)}) {
        if (!folder.empty() && path.compare(0, folder.size(), folder) == 0) return true;
    }
    return false;
}

std::optional<std::vector<std::uint8_t>> ResourceBytes(HMODULE module, const char* type, const char* name,
                                                       WORD language) {
    HRSRC found = FindResourceExA(module, type, name, language);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + SizeofResource(module, found));
}

std::optional<VersionResource> ReadVersionResource(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    VersionResource version;
    version.block.resize(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, version.block.data())) return std::nullopt;
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(version.block.data(), "\\", &fixed, &fixedSize) || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    std::memcpy(&version.fixed, fixed, sizeof version.fixed);
    return version;
}

std::optional<std::string> VersionString(const VersionResource& version, const std::string& query) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(version.block.data(), query.c_str(), &value, &length) || !value) return std::nullopt;
    const char* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

std::vector<std::pair<WORD, WORD>> VersionTranslations(const VersionResource& version) {
    std::vector<std::pair<WORD, WORD>> pairs;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(version.block.data(), "\\VarFileInfo\\Translation", &value, &length) || !value) return pairs;
    const auto* words = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) pairs.emplace_back(words[i], words[i + 1]);
    return pairs;
}

}  // namespace wintest
