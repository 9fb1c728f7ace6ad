#include "patchio/Validate.h"

#include <cmath>
#include <utility>

namespace patchio {
namespace {

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Where(std::int32_t object, std::int32_t patch) {
    return "patch object " + std::to_string(object) + ", patch " + std::to_string(patch) + ": ";
}

// How a field is spelt in the file, for the messages.
const char* Keyword(const char* field) {
    const std::string f = field;
    if (f == "verts") return "VERTS";
    if (f == "vecs") return "VECS";
    if (f == "interior") return "INTERIOR";
    return "ADJACENT";
}

// Hands findings to the caller until it answers false.
struct Taker {
    const std::function<bool(Finding&&)>& take;
    bool stopped = false;
    void operator()(Finding&& finding) {
        if (!stopped && !take(std::move(finding))) stopped = true;
    }
};

struct Context {
    const ExportPatchObject& object;
    std::int32_t index;
    Taker& take;
    std::vector<bool> usedVerts;
    std::vector<bool> usedVecs;

    void Add(std::int32_t patch, const char* field, std::int32_t slot, std::int32_t axis, std::string message) {
        take(Finding{index, patch, -1, field, slot, axis, std::move(message)});
    }
};

// One index slot of verts, vecs or interior; marks what it uses.
void CheckSlot(Context& c, std::int32_t k, const char* field, std::int32_t slot, std::int32_t value) {
    const bool vertex = std::string(field) == "verts";
    const std::int32_t size = vertex ? c.object.NumVerts() : c.object.NumVecs();
    if (value >= 0 && value < size) {
        (vertex ? c.usedVerts : c.usedVecs)[static_cast<std::size_t>(value)] = true;
        return;
    }
    const char* one = vertex ? "vertex" : "vector";
    std::string text =
        Where(c.index, k) + Keyword(field) + " slot " + std::to_string(slot) + " is " + std::to_string(value);
    text += value == -1 ? std::string(": the patch has no ") + one + " there"
                        : ", outside the " + Plural(size, one, vertex ? "vertices" : "vectors");
    c.Add(k, field, slot, -1, std::move(text));
}

void CheckNeighbour(Context& c, std::int32_t k, std::int32_t slot, std::int32_t value) {
    if (value == -1) return;
    const std::string where = Where(c.index, k) + "ADJACENT slot " + std::to_string(slot);
    const std::int32_t count = c.object.NumPatches();
    if (value < -1 || value >= count) {
        c.Add(k, "adjacent", slot, -1,
              where + " is " + std::to_string(value) + ", outside the " + Plural(count, "patch", "patches"));
        return;
    }
    if (value == k) {
        c.Add(k, "adjacent", slot, -1, where + " names the patch itself as its neighbour");
        return;
    }
    const ExportPatch& other = c.object.PatchAt(value);
    for (std::int32_t e = 0; e < other.SlotSides(); ++e)
        if (other.adjacent[e] == k) return;
    c.Add(
        k, "adjacent", slot, -1,
        where + " names patch " + std::to_string(value) + ", which does not name patch " + std::to_string(k) + " back");
}

void CheckPatch(Context& c, std::int32_t k) {
    const ExportPatch& patch = c.object.PatchAt(k);
    if (patch.sides != 3 && patch.sides != 4)
        c.Add(k, "sides", -1, -1, Where(c.index, k) + "SIDES is " + std::to_string(patch.sides) + ", not 3 or 4");
    const std::int32_t sides = patch.SlotSides();
    for (std::int32_t i = 0; i < sides; ++i) CheckSlot(c, k, "verts", i, patch.verts[i]);
    for (std::int32_t i = 0; i < 2 * sides; ++i) CheckSlot(c, k, "vecs", i, patch.vecs[i]);
    for (std::int32_t i = 0; i < sides; ++i) CheckSlot(c, k, "interior", i, patch.interior[i]);
    for (std::int32_t i = 0; i < sides; ++i) CheckNeighbour(c, k, i, patch.adjacent[i]);
}

// Hands over a finding for each coordinate of p that is not finite.
template <typename Add>
void CheckFinite(const Float3& p, const std::string& what, Add add) {
    const float values[3] = {p.x, p.y, p.z};
    const char* axes[3] = {"x", "y", "z"};
    for (std::int32_t a = 0; a < 3; ++a) {
        if (std::isfinite(values[a])) continue;
        const char* value = std::isnan(values[a]) ? "not a number" : (values[a] > 0 ? "infinite" : "-infinite");
        add(a, what + " " + axes[a] + " is " + value);
    }
}

void CheckPoints(Context& c, bool vertices) {
    const std::string prefix = "patch object " + std::to_string(c.index) + (vertices ? ", vertex " : ", vector ");
    const char* field = vertices ? "vertex" : "vector";
    const std::int32_t count = vertices ? c.object.NumVerts() : c.object.NumVecs();
    for (std::int32_t j = 0; j < count && !c.take.stopped; ++j) {
        CheckFinite(vertices ? c.object.VertAt(j) : c.object.VecAt(j), prefix + std::to_string(j) + ":",
                    [&](std::int32_t axis, std::string text) { c.Add(-1, field, j, axis, std::move(text)); });
    }
}

void CheckUnused(Context& c, bool vertices) {
    const std::vector<bool>& used = vertices ? c.usedVerts : c.usedVecs;
    std::int64_t unused = 0;
    std::int32_t first = -1;
    for (std::size_t j = 0; j < used.size(); ++j) {
        if (used[j]) continue;
        if (unused++ == 0) first = static_cast<std::int32_t>(j);
    }
    if (unused == 0) return;
    const char* one = vertices ? "vertex" : "vector";
    c.Add(-1, one, first, -1,
          "patch object " + std::to_string(c.index) + ": " + Plural(unused, one, vertices ? "vertices" : "vectors") +
              " used by no patch (the first is " + one + " " + std::to_string(first) + ")");
}

void CheckCamera(const ExportCamera& camera, std::int32_t m, Taker& take) {
    const std::string what = "camera " + std::to_string(m) + ": ";
    CheckFinite(camera.position, what + "position", [&](std::int32_t axis, std::string text) {
        take(Finding{-1, -1, m, "position", -1, axis, std::move(text)});
    });
    CheckFinite(camera.target, what + "target", [&](std::int32_t axis, std::string text) {
        take(Finding{-1, -1, m, "target", -1, axis, std::move(text)});
    });
}

}  // namespace

void Validate(const PatchIO& set, const std::function<bool(Finding&&)>& taker) {
    Taker take{taker};
    for (std::int32_t i = 0; i < set.NumPatchObjects() && !take.stopped; ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        Context c{object, i, take, std::vector<bool>(static_cast<std::size_t>(object.NumVerts())),
                  std::vector<bool>(static_cast<std::size_t>(object.NumVecs()))};
        CheckPoints(c, true);
        CheckPoints(c, false);
        for (std::int32_t k = 0; k < object.NumPatches() && !take.stopped; ++k) CheckPatch(c, k);
        CheckUnused(c, true);
        CheckUnused(c, false);
    }
    for (std::int32_t m = 0; m < set.NumCameras() && !take.stopped; ++m) CheckCamera(set.CameraAt(m), m, take);
}

std::vector<Finding> Validate(const PatchIO& set, std::size_t most) {
    std::vector<Finding> findings;
    if (most == 0) return findings;
    Validate(set, [&findings, most](Finding&& f) {
        findings.push_back(std::move(f));
        return findings.size() < most;
    });
    return findings;
}

}  // namespace patchio
