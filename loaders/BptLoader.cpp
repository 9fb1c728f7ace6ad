#include "loaders/BptLoader.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "memhost/PatchMeshBuilder.h"

namespace {

// Far more patches than any model has; it keeps every vertex and vector
// index of the mesh within the host's 32-bit indices.
constexpr long kMaxPatches = 10'000'000;

// Control points of the corners, the edge handles (two per edge, in order
// from the edge's first corner) and the interior points.
constexpr int kCornerPoints[4] = {0, 3, 15, 12};
constexpr int kHandlePoints[8] = {1, 2, 7, 11, 14, 13, 8, 4};
constexpr int kInteriorPoints[4] = {5, 6, 10, 9};

// Longest piece of offending text quoted in an error.
constexpr std::size_t kQuoteLength = 40;

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t\r\f\v", at);
        if (at == std::string::npos) return words;
        const std::size_t end = line.find_first_of(" \t\r\f\v", at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
}

template <typename Number>
bool ParseNumber(std::string word, Number& value) {
    if (word.size() > 1 && word[0] == '+') word.erase(0, 1);
    const char* first = word.data();
    const char* last = first + word.size();
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

bool ParsePoint(const std::vector<std::string>& words, Float3& point) {
    return words.size() == 3 && ParseNumber(words[0], point.x) && ParseNumber(words[1], point.y) &&
           ParseNumber(words[2], point.z) && std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}

std::string Quoted(const std::string& line) {
    if (line.size() <= kQuoteLength) return "\"" + line + "\"";
    return "\"" + line.substr(0, kQuoteLength) + "...\"";
}

// Reads the file's lines one at a time, skipping blank ones.
class LineReader {
public:
    LineReader(std::istream& in, const std::string& name) : in_(in), name_(name) {}

    // The next non-blank line split into words; false at the end.
    bool Next(std::vector<std::string>& words) {
        while (std::getline(in_, line_)) {
            ++number_;
            words = Words(line_);
            if (!words.empty()) return true;
        }
        return false;
    }
    std::string Where() const { return name_ + ":" + std::to_string(number_) + ": "; }
    std::string Found() const { return ", found " + Quoted(line_); }

private:
    std::istream& in_;
    const std::string& name_;
    std::string line_;
    long number_ = 0;
};

bool ReadCount(LineReader& lines, const std::string& name, long& count, std::string& error) {
    std::vector<std::string> words;
    if (!lines.Next(words)) {
        error = name + ": the file is empty; expected the number of patches";
        return false;
    }
    if (words.size() != 1 || !ParseNumber(words[0], count) || count < 0 || count > kMaxPatches) {
        error =
            lines.Where() + "expected the number of patches (0 to " + std::to_string(kMaxPatches) + ")" + lines.Found();
        return false;
    }
    return true;
}

bool ReadPatch(LineReader& lines, const std::string& name, long patch, long count, ControlNet& net,
               std::string& error) {
    const std::string which = "patch " + std::to_string(patch + 1) + " of " + std::to_string(count);
    std::vector<std::string> words;
    if (!lines.Next(words)) {
        error = name + ": the file ends before " + which;
        return false;
    }
    if (words.size() != 2 || words[0] != "3" || words[1] != "3") {
        error = lines.Where() + which + ": expected the degrees \"3 3\" (only bicubic patches)" + lines.Found();
        return false;
    }
    for (std::size_t k = 0; k < net.size(); ++k) {
        const std::string point = "control point " + std::to_string(k + 1) + " of " + which;
        if (!lines.Next(words)) {
            error = name + ": the file ends before " + point;
            return false;
        }
        if (!ParsePoint(words, net[k])) {
            error = lines.Where() + point + ": expected three finite numbers \"x y z\"" + lines.Found();
            return false;
        }
    }
    return true;
}

HostPatch BezierPatch(const ControlNet& net, PointMerger& verts, PointMerger& vecs) {
    HostPatch patch;
    patch.type = 4;
    for (int i = 0; i < 4; ++i) patch.vertIndex[i] = verts.Add(net[static_cast<std::size_t>(kCornerPoints[i])]);
    for (int j = 0; j < 8; ++j) patch.vecIndex[j] = vecs.Add(net[static_cast<std::size_t>(kHandlePoints[j])]);
    for (int i = 0; i < 4; ++i) {
        patch.interiorIndex[i] = vecs.Add(net[static_cast<std::size_t>(kInteriorPoints[i])]);
    }
    return patch;
}

}  // namespace

bool ReadBezierPatches(std::istream& in, const std::string& name, std::vector<ControlNet>& patches,
                       std::string& error) {
    patches.clear();
    LineReader lines(in, name);
    long count = 0;
    if (!ReadCount(lines, name, count, error)) return false;
    for (long patch = 0; patch < count; ++patch) {
        ControlNet net;
        if (!ReadPatch(lines, name, patch, count, net, error)) return false;
        patches.push_back(net);
    }
    std::vector<std::string> words;
    if (lines.Next(words)) {
        error =
            lines.Where() + "unexpected text after the last of " + std::to_string(count) + " patches" + lines.Found();
        return false;
    }
    if (in.bad()) {
        error = name + ": the file could not be read to its end";
        return false;
    }
    return true;
}

MemoryPatchMesh BuildBezierMesh(const std::vector<ControlNet>& nets) {
    MemoryPatchMesh mesh;
    PointMerger verts(mesh.verts);
    PointMerger vecs(mesh.vecs);
    EdgeJoiner edges(mesh.edges);
    mesh.patches.reserve(nets.size());
    for (const ControlNet& net : nets) {
        HostPatch patch = BezierPatch(net, verts, vecs);
        const auto self = static_cast<std::int32_t>(mesh.patches.size());
        for (int i = 0; i < 4; ++i) {
            patch.edgeIndex[i] = edges.Join(self, patch.vertIndex[i], patch.vertIndex[(i + 1) % 4],
                                            patch.vecIndex[2 * i], patch.vecIndex[2 * i + 1]);
        }
        mesh.patches.push_back(patch);
    }
    return mesh;
}
