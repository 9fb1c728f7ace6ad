// check and info.
#include "tools/patchtext/Commands.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "patchio/PatchIO.h"
#include "support/Progress.h"
#include "tools/patchtext/FileCheck.h"
#include "tools/patchtext/FileInfo.h"
#include "tools/patchtext/SetLoad.h"

namespace patchtool {
namespace {

// Locates the kept warnings through the reader's own places, in one pass
// that also finds numbers read in part, and a scan of the file's tokens.
void LocateAndCheckTokens(const std::string& path, CheckReport& report, Console& console) {
    TokenAt version;
    const std::int64_t size = FileSize(path);
    const bool announce = console.progress && size >= kLargeFileBytes;
    if (announce) std::fprintf(stderr, "locating in %s (%lld MB)...", path.c_str(), static_cast<long long>(size >> 20));
    const std::int64_t taken = report.Locate(path, version);
    if (announce) std::fprintf(stderr, "\r\033[K");
    support::Percentage progress(stderr, console.progress, "checking " + path, size, kLargeFileBytes);
    const TokenScan scan = ScanTokens(path, {taken}, &progress);
    progress.Finish();
    CheckTokens(version, scan, taken, scan.wanted[0], report);
}

void PrintWarnings(const std::string& path, const CheckReport& report, Console& console) {
    std::vector<Warning> kept = report.Kept();
    std::stable_sort(kept.begin(), kept.end(), [](const Warning& a, const Warning& b) {
        return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
    });
    for (const Warning& w : kept)
        console.err << Location(path, w.at.line, w.at.column) << "warning: " << w.text << '\n';
    std::int64_t hidden = report.Total() - static_cast<std::int64_t>(kept.size());
    if (hidden > 0) console.err << path << ": note: " << hidden << " more warnings of the same kinds not shown\n";
}

int CheckFile(const std::string& path, bool strict, Console& console) {
    PatchIO set;
    std::string versionText;
    const int loaded = LoadSet(path, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    console.out << path << ": " << DescribeCounts(DescribeSet(set, versionText)) << '\n';
    CheckReport report;
    patchio::Validate(set, [&report](patchio::Finding&& finding) {
        report.Add(std::move(finding));
        return true;
    });
    set.Clear();
    LocateAndCheckTokens(path, report, console);
    PrintWarnings(path, report, console);
    const std::int64_t warnings = report.Total();
    if (warnings == 0) {
        console.out << path << ": ok\n";
        return kExitOk;
    }
    const std::string count = std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings");
    if (strict) {
        console.out << path << ": failed, " << count << " (--strict)\n";
        return kExitBadFile;
    }
    console.out << path << ": " << count << '\n';
    return kExitOk;
}

}  // namespace

int RunCheck(const CheckCommand& command, Console& console) {
    int worst = kExitOk;
    for (const std::string& path : command.files) worst = std::max(worst, CheckFile(path, command.strict, console));
    return worst;
}

int RunInfo(const InfoCommand& command, Console& console) {
    PatchIO set;
    std::string versionText;
    const int loaded = LoadSet(command.file, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    const SetInfo info = DescribeSet(set, versionText);
    if (command.json)
        console.out << InfoJson(command.file, info).dump(2) << '\n';
    else
        PrintInfo(console.out, command.file, info);
    return kExitOk;
}

}  // namespace patchtool
