#include "tools/patchtext/FileCheck.h"

#include <cmath>

#include "patchio/NumberParse.h"

namespace patchtool {
namespace {

// The versions as the reader compares them: 32-bit floats.
constexpr float kCurrentVersion = static_cast<float>(PatchIO::kFormatVersion);
constexpr float kVersionWithoutCameras = static_cast<float>(PatchIO::kLastVersionWithoutCameras);

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Where(std::int32_t object, std::int32_t patch) {
    return "patch object " + std::to_string(object) + ", patch " + std::to_string(patch) + ": ";
}

const char* FieldName(PatchField field) {
    switch (field) {
    case PatchField::Verts: return "VERTS";
    case PatchField::Vecs: return "VECS";
    case PatchField::Interior: return "INTERIOR";
    case PatchField::Adjacent: return "ADJACENT";
    }
    return "";
}

struct Context {
    const ExportPatchObject& object;
    std::int32_t index;
    const TokenLayout& layout;
    CheckReport& report;
    std::vector<bool> usedVerts;
    std::vector<bool> usedVecs;
};

// One index slot; marks what it uses.
void CheckSlot(Context& c, std::int32_t k, PatchField field, int slot, std::int32_t value) {
    const bool vertex = field == PatchField::Verts;
    const std::int32_t size = vertex ? c.object.NumVerts() : c.object.NumVecs();
    if (value >= 0 && value < size) {
        (vertex ? c.usedVerts : c.usedVecs)[static_cast<std::size_t>(value)] = true;
        return;
    }
    const char* one = vertex ? "vertex" : "vector";
    std::string text = Where(c.index, k) + FieldName(field) + " slot " + std::to_string(slot) + " is " +
                       std::to_string(value);
    text += value == -1 ? std::string(": the patch has no ") + one + " there"
                        : ", outside the " + Plural(size, one, vertex ? "vertices" : "vectors");
    c.report.Add(WarningKind::IndexOutside, c.layout.Slot(c.index, k, field, slot), text);
}

void CheckNeighbour(Context& c, std::int32_t k, int slot, std::int32_t value) {
    const std::int64_t token = c.layout.Slot(c.index, k, PatchField::Adjacent, slot);
    const std::string where = Where(c.index, k) + "ADJACENT slot " + std::to_string(slot);
    const std::int32_t count = c.object.NumPatches();
    if (value == -1) return;
    if (value < -1 || value >= count) {
        c.report.Add(WarningKind::IndexOutside, token,
                     where + " is " + std::to_string(value) + ", outside the " + Plural(count, "patch", "patches"));
        return;
    }
    if (value == k) {
        c.report.Add(WarningKind::SelfNeighbour, token, where + " names the patch itself as its neighbour");
        return;
    }
    const ExportPatch& other = c.object.PatchAt(value);
    const int otherSides = other.sides == 3 ? 3 : 4;
    for (int e = 0; e < otherSides; ++e)
        if (other.adjacent[e] == k) return;
    c.report.Add(WarningKind::NotMutual, token,
                 where + " names patch " + std::to_string(value) + ", which does not name patch " +
                     std::to_string(k) + " back");
}

void CheckPatch(Context& c, std::int32_t k) {
    const ExportPatch& patch = c.object.PatchAt(k);
    const int sides = patch.sides == 3 ? 3 : 4;
    for (int i = 0; i < sides; ++i) CheckSlot(c, k, PatchField::Verts, i, patch.verts[i]);
    for (int i = 0; i < 2 * sides; ++i) CheckSlot(c, k, PatchField::Vecs, i, patch.vecs[i]);
    for (int i = 0; i < sides; ++i) CheckSlot(c, k, PatchField::Interior, i, patch.interior[i]);
    for (int i = 0; i < sides; ++i) CheckNeighbour(c, k, i, patch.adjacent[i]);
}

// Reports each coordinate of p that is not finite; first is the token of x.
void CheckFinite(CheckReport& report, const Float3& p, std::int64_t first, const std::string& what) {
    const float values[3] = {p.x, p.y, p.z};
    const char* axes[3] = {"x", "y", "z"};
    for (int a = 0; a < 3; ++a) {
        if (std::isfinite(values[a])) continue;
        const char* value = std::isnan(values[a]) ? "not a number" : (values[a] > 0 ? "infinite" : "-infinite");
        report.Add(WarningKind::NonFinite, first + a, what + " " + axes[a] + " is " + value);
    }
}

void CheckPoints(Context& c) {
    const std::string prefix = "patch object " + std::to_string(c.index) + ", ";
    for (std::int32_t j = 0; j < c.object.NumVerts(); ++j)
        CheckFinite(c.report, c.object.VertAt(j), c.layout.Vertex(c.index, j) + 1,
                    prefix + "vertex " + std::to_string(j) + ":");
    for (std::int32_t j = 0; j < c.object.NumVecs(); ++j)
        CheckFinite(c.report, c.object.VecAt(j), c.layout.Vector(c.index, j) + 1,
                    prefix + "vector " + std::to_string(j) + ":");
}

void CheckUnused(Context& c, const std::vector<bool>& used, bool vertices) {
    std::int64_t unused = 0;
    std::int32_t first = -1;
    for (std::size_t j = 0; j < used.size(); ++j) {
        if (used[j]) continue;
        if (unused++ == 0) first = static_cast<std::int32_t>(j);
    }
    if (unused == 0) return;
    const char* one = vertices ? "vertex" : "vector";
    const std::string text = "patch object " + std::to_string(c.index) + ": " +
                             Plural(unused, one, vertices ? "vertices" : "vectors") + " used by no patch (the first is " +
                             one + " " + std::to_string(first) + ")";
    c.report.Add(WarningKind::Unused, vertices ? c.layout.Vertex(c.index, first) : c.layout.Vector(c.index, first),
                 text);
}

}  // namespace

bool CheckReport::Keep(WarningKind kind) {
    return static_cast<std::size_t>(counts_[static_cast<std::size_t>(kind)]++) < keptPerKind_;
}

void CheckReport::Add(WarningKind kind, std::int64_t token, std::string text) {
    if (Keep(kind)) kept_.push_back({kind, token, TokenAt{}, std::move(text)});
}

void CheckReport::AddAt(WarningKind kind, const TokenAt& at, std::string text) {
    if (Keep(kind)) kept_.push_back({kind, -1, at, std::move(text)});
}

std::int64_t CheckReport::Total() const {
    std::int64_t total = 0;
    for (const std::int64_t n : counts_) total += n;
    return total;
}

SetCounts CountSet(const PatchIO& set) {
    SetCounts counts;
    counts.objects = set.NumPatchObjects();
    counts.cameras = set.NumCameras();
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        counts.verts += object.NumVerts();
        counts.vecs += object.NumVecs();
        counts.patches += object.NumPatches();
        for (std::int32_t k = 0; k < object.NumPatches(); ++k)
            ++(object.PatchAt(k).sides == 3 ? counts.triangles : counts.quads);
    }
    return counts;
}

std::string DescribeCounts(const SetCounts& c) {
    return Plural(c.objects, "patch object", "patch objects") + ", " + Plural(c.verts, "vertex", "vertices") +
           ", " + Plural(c.vecs, "vector", "vectors") + ", " + Plural(c.patches, "patch", "patches") + " (" +
           std::to_string(c.triangles) + " triangular, " + std::to_string(c.quads) + " quadrilateral), " +
           Plural(c.cameras, "camera", "cameras");
}

float VersionValue(const std::string& versionText) { return numparse::ToFloat(versionText.c_str()); }

bool IsCurrentVersion(const std::string& versionText) { return VersionValue(versionText) == kCurrentVersion; }

void CheckContents(const PatchIO& set, const TokenLayout& layout, CheckReport& report) {
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        Context c{object, i, layout, report, std::vector<bool>(static_cast<std::size_t>(object.NumVerts())),
                  std::vector<bool>(static_cast<std::size_t>(object.NumVecs()))};
        CheckPoints(c);
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) CheckPatch(c, k);
        CheckUnused(c, c.usedVerts, true);
        CheckUnused(c, c.usedVecs, false);
    }
    for (std::int32_t m = 0; m < set.NumCameras(); ++m) {
        const std::string what = "camera " + std::to_string(m) + ": ";
        CheckFinite(report, set.CameraAt(m).position, layout.Camera(m) + 2, what + "position");
        CheckFinite(report, set.CameraAt(m).target, layout.Camera(m) + 5, what + "target");
    }
}

void CheckTokens(const TokenAt& version, const TokenScan& scan, std::int64_t expectedTokens,
                 const TokenAt& firstTrailing, CheckReport& report) {
    if (!IsCurrentVersion(version.text)) {
        std::string text = "version " + version.text + " is not the format's 1.10";
        if (!(VersionValue(version.text) > kVersionWithoutCameras)) text += "; the reader reads no cameras from it";
        report.AddAt(WarningKind::Version, version, text);
    }
    if (scan.longTokens > 0) {
        report.AddAt(WarningKind::LongToken, scan.firstLongToken,
                     Plural(scan.longTokens, "token is", "tokens are") +
                         " longer than 79 characters: the reader cuts each in two and drops a character");
    }
    const std::int64_t trailing = scan.tokens - expectedTokens;
    if (trailing > 0) {
        report.AddAt(WarningKind::TrailingText, firstTrailing,
                     Plural(trailing, "token follows", "tokens follow") + " the end of the data; the reader ignores " +
                         (trailing == 1 ? "it" : "them"));
    }
}

}  // namespace patchtool
