// view: one self-contained HTML page that draws the file with WebGL.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "os/Shell.h"
#include "patchio/PatchIO.h"
#include "support/Progress.h"
#include "tools/patchtext/Commands.h"
#include "tools/patchtext/PageModel.h"
#include "tools/patchtext/SetLoad.h"
#include "tools/patchtext/page/PageAssets.h"

namespace patchtool {
namespace {

// Where the frame takes the other parts.
constexpr std::string_view kThreeMarker = "@@three@@";
constexpr std::string_view kControlsMarker = "@@controls@@";
constexpr std::string_view kViewerMarker = "@@viewer@@";
constexpr std::string_view kModelMarker = "@@model@@";

struct PagePart {
    std::string_view marker;
    std::string_view text;
};

// Writes frame with each marker replaced by its part's text.
bool WritePage(std::ostream& out, std::string_view frame, const std::vector<PagePart>& parts) {
    std::size_t at = 0;
    while (at < frame.size()) {
        std::size_t next = std::string_view::npos;
        const PagePart* part = nullptr;
        for (const PagePart& p : parts) {
            const std::size_t found = frame.find(p.marker, at);
            if (found < next) {
                next = found;
                part = &p;
            }
        }
        const std::string_view plain = frame.substr(at, next == std::string_view::npos ? next : next - at);
        out.write(plain.data(), static_cast<std::streamsize>(plain.size()));
        if (!part) break;
        out.write(part->text.data(), static_cast<std::streamsize>(part->text.size()));
        at = next + part->marker.size();
    }
    return static_cast<bool>(out);
}

std::int64_t Megabytes(std::int64_t bytes) { return (bytes + (std::int64_t{1} << 20) - 1) >> 20; }

// The steps at which the model's part of a page of bytes would fit the
// limit: that part grows with the square of the steps.
int StepsThatFit(const ViewCommand& command, std::int64_t bytes, std::int64_t assets) {
    const double room = static_cast<double>(command.maxPageBytes - assets);
    const double model = static_cast<double>(bytes - assets);
    if (room <= 0.0 || model <= 0.0) return 1;
    return std::max(1, std::min(command.steps - 1, static_cast<int>(command.steps * std::sqrt(room / model))));
}

int RefuseSize(const ViewCommand& command, std::int64_t bytes, std::int64_t assets, bool atLeast, Console& console) {
    console.err << command.file << ": error: the page would be " << (atLeast ? "at least " : "") << Megabytes(bytes)
                << " MB, more than the " << Megabytes(command.maxPageBytes)
                << " MB that a browser opens with ease; try fewer tessellation steps (--steps "
                << StepsThatFit(command, bytes, assets) << " or fewer, now " << command.steps << ")\n";
    return kExitUsage;
}

// The page's size without the model's text.
std::int64_t AssetBytes() {
    std::int64_t bytes = static_cast<std::int64_t>(page::kFrame.size() + page::kThree.size() + page::kControls.size() +
                                                   page::kViewer.size());
    for (const std::string_view marker : {kThreeMarker, kControlsMarker, kViewerMarker, kModelMarker})
        bytes -= static_cast<std::int64_t>(marker.size());
    return bytes;
}

}  // namespace

std::string DefaultPagePath(const std::string& file) {
    std::filesystem::path page(file);
    page.replace_extension(".html");
    // Never the input itself.
    if (page == std::filesystem::path(file)) return file + ".html";
    return page.string();
}

int RunView(const ViewCommand& command, Console& console) {
    PatchIO set;
    std::string versionText;
    const std::string output = command.output.empty() ? DefaultPagePath(command.file) : command.output;
    const int loaded = LoadSetForOutput(command.file, output, set, versionText, console);
    if (loaded != kExitOk) return loaded;
    const std::int64_t least = AssetBytes() + PageModelLowerBound(set, command.steps);
    if (least > command.maxPageBytes) return RefuseSize(command, least, AssetBytes(), true, console);

    support::Percentage progress(stderr, console.progress, "tessellating " + command.file, TotalPatches(set));
    const PageModel model = BuildPageModel(set, command.file, versionText, command.steps, progress, console);
    progress.Finish();
    const std::string json = PageJson(model);
    const std::int64_t bytes = AssetBytes() + static_cast<std::int64_t>(json.size());
    if (bytes > command.maxPageBytes) return RefuseSize(command, bytes, AssetBytes(), false, console);

    for (std::size_t i = 0; i < model.cameras.size(); ++i) {
        if (!model.cameras[i].posed)
            console.err << command.file << ": warning: camera " << i
                        << " has a coordinate that is not finite; the page lists it and does not draw it\n";
    }
    const std::vector<PagePart> parts = {{kThreeMarker, page::kThree},
                                         {kControlsMarker, page::kControls},
                                         {kViewerMarker, page::kViewer},
                                         {kModelMarker, json}};
    const int written = WriteOutputFile(output, console, [&](std::ostream& out, std::string& why) {
        if (WritePage(out, page::kFrame, parts)) return true;
        why = "the page could not be written";
        return false;
    });
    if (written != kExitOk) return written;
    console.out << output << ": " << bytes << " bytes, " << model.objects.size() << " objects, " << model.cameras.size()
                << " cameras\n";
    if (!command.noOpen) os::OpenInShell(output.c_str());
    return kExitOk;
}

}  // namespace patchtool
