#include "tools/patchtext/SetLoad.h"

#include <cstdio>
#include <fstream>

#include "tools/patchtext/TokenScan.h"

namespace patchtool {

std::int64_t FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::int64_t>(in.tellg()) : -1;
}

std::string Location(const std::string& path, std::int64_t line, std::int64_t column) {
    if (line <= 0) return path + ": ";
    return path + ":" + std::to_string(line) + ":" + std::to_string(column) + ": ";
}

std::string FailureText(const ReadFailure& why) {
    std::string text = why.Message();
    const std::string prefix = "line " + std::to_string(why.line) + ", column " + std::to_string(why.column) + ": ";
    if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
    return text.empty() ? "the file does not read as patch text" : text;
}

int LoadSet(const std::string& path, PatchIO& set, std::string& versionText, Console& console) {
    const std::int64_t size = FileSize(path);
    const bool announce = console.progress && size >= kLargeFileBytes;
    if (announce) std::fprintf(stderr, "reading %s (%lld MB)...", path.c_str(), static_cast<long long>(size >> 20));
    ReadFailure why;
    const std::int32_t ok = set.Read(path.c_str(), &why);
    if (announce) std::fprintf(stderr, "\r\033[K");
    if (!why.opened && !ok) {
        console.err << Location(path, 0, 0) << "error: cannot open the file\n";
        return kExitUsage;
    }
    if (!ok) {
        console.err << Location(path, why.line, why.column) << "error: " << FailureText(why) << '\n';
        return kExitBadFile;
    }
    const auto first = PeekTokens(path, 2);
    versionText = first.size() == 2 ? first[1].text : std::string();
    return kExitOk;
}

}  // namespace patchtool
