#include "wintest/ShellAssociation.h"

#include <fstream>

#include "host/WinTypes.h"

namespace wintest {
namespace {

bool SetDefaultValue(HKEY root, const std::string& key, const std::string& value) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

}  // namespace

// The classes of the whole machine: the prefix belongs to the tests, and
// every Wine version reads these.
bool RegisterOpenHandler(const std::string& extension, const std::string& progId, const std::string& commandLine) {
    const std::string classes = "Software\\Classes\\";
    return SetDefaultValue(HKEY_LOCAL_MACHINE, classes + extension, progId) &&
           SetDefaultValue(HKEY_LOCAL_MACHINE, classes + progId + "\\shell\\open\\command", commandLine);
}

std::vector<std::string> RecordedOpens(const std::string& recordFile) {
    std::vector<std::string> lines;
    std::ifstream in(recordFile);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace wintest
