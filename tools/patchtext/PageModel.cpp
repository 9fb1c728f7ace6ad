#include "tools/patchtext/PageModel.h"

#include <cstring>
#include <filesystem>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "support/Progress.h"
#include "tools/patchtext/SceneRender.h"
#include "tools/patchtext/Surface.h"
#include "tools/patchtext/ViewCamera.h"

namespace patchtool {
namespace {

using Json = nlohmann::ordered_json;

// A line between two numbered points, the same whichever way it is named.
std::uint64_t LineKey(std::uint32_t a, std::uint32_t b) {
    if (a > b) std::swap(a, b);
    return (static_cast<std::uint64_t>(a) << 32) | b;
}

// Adds the line a-b to lines unless it is a point or already there.
void AddLine(std::vector<std::uint32_t>& lines, std::unordered_set<std::uint64_t>& seen, std::uint32_t a,
             std::uint32_t b) {
    if (a == b || !seen.insert(LineKey(a, b)).second) return;
    lines.push_back(a);
    lines.push_back(b);
}

// The sampled edges of one batch's patches: every edge into borders, the
// open ones into openEdges too.
void AddEdges(const ExportPatchObject& object, const ObjectMesh& batch, int steps, PageObject& page,
              std::unordered_set<std::uint64_t>& borders, std::unordered_set<std::uint64_t>& open) {
    for (const PatchSamples& patch : batch.patches) {
        const ExportPatch& record = object.PatchAt(patch.patch);
        for (int edge = 0; edge < patch.sides; ++edge) {
            const std::vector<std::size_t> where = EdgeSampleIndices(patch.sides, steps, edge);
            const bool isOpen = record.adjacent[edge] == -1;
            for (std::size_t k = 0; k + 1 < where.size(); ++k) {
                const auto a = static_cast<std::uint32_t>(patch.vertex[where[k]]);
                const auto b = static_cast<std::uint32_t>(patch.vertex[where[k + 1]]);
                AddLine(page.borders, borders, a, b);
                if (isOpen) AddLine(page.openEdges, open, a, b);
            }
        }
    }
}

void AddPoints(std::vector<float>& points, const std::vector<Vec3>& positions) {
    for (const Vec3& p : positions) {
        points.push_back(static_cast<float>(p.x));
        points.push_back(static_cast<float>(p.y));
        points.push_back(static_cast<float>(p.z));
    }
}

void AddNetPoint(std::vector<float>& points, const Float3& p) {
    const bool finite = IsFinite(p);
    points.push_back(finite ? p.x : 0.0f);
    points.push_back(finite ? p.y : 0.0f);
    points.push_back(finite ? p.z : 0.0f);
}

// The control net of the patches that have a surface, so that every index
// named is in range and every point finite.
void AddNet(const ExportPatchObject& object, PageObject& page) {
    for (std::int32_t j = 0; j < object.NumVerts(); ++j) {
        AddNetPoint(page.netPoints, object.VertAt(j));
        if (IsFinite(object.VertAt(j))) page.netVerts.push_back(static_cast<std::uint32_t>(j));
    }
    for (std::int32_t j = 0; j < object.NumVecs(); ++j) AddNetPoint(page.netPoints, object.VecAt(j));
    const auto vec = [&object](std::int32_t k) { return static_cast<std::uint32_t>(object.NumVerts() + k); };
    std::unordered_set<std::uint64_t> lines;
    std::unordered_set<std::uint32_t> handles, interior;
    for (std::int32_t p = 0; p < object.NumPatches(); ++p) {
        const ExportPatch& patch = object.PatchAt(p);
        PatchNet net;
        if (!ResolveNet(object, patch, net).empty()) continue;
        for (int i = 0; i < patch.sides; ++i) {
            const auto corner = static_cast<std::uint32_t>(patch.verts[i]);
            const auto next = static_cast<std::uint32_t>(patch.verts[(i + 1) % patch.sides]);
            AddLine(page.netLines, lines, corner, vec(patch.vecs[2 * i]));
            AddLine(page.netLines, lines, vec(patch.vecs[2 * i + 1]), next);
            AddLine(page.netLines, lines, corner, vec(patch.interior[i]));
            for (const std::int32_t h : {patch.vecs[2 * i], patch.vecs[2 * i + 1]})
                if (handles.insert(vec(h)).second) page.netVecs.push_back(vec(h));
            if (interior.insert(vec(patch.interior[i])).second) page.netInterior.push_back(vec(patch.interior[i]));
        }
    }
}

PageObject BuildObject(const PatchIO& set, std::int32_t number, const std::string& path, int steps,
                       const ObjectInfo& info, Vec3 offset, support::Percentage& progress, Console& console) {
    const ExportPatchObject& object = set.PatchObjectAt(number);
    PageObject page;
    page.name = "patchobject_" + std::to_string(number);
    page.info = info;
    page.spreadOffset = offset;
    gltf::MeshAssembler assembler;
    std::unordered_set<std::uint64_t> borders, open;
    TessellateInBatches(path, object, number, steps, progress, console, [&](const ObjectMesh& batch) {
        assembler.Add(batch.mesh);
        AddPoints(page.points, batch.mesh.positions);
        AddEdges(object, batch, steps, page, borders, open);
        page.skipped += static_cast<std::int64_t>(batch.skipped.size());
    });
    page.mesh = assembler.Take(page.name);
    AddNet(object, page);
    return page;
}

void PutLittleEndian(std::vector<unsigned char>& bytes, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<unsigned char>(word >> shift));
}

std::string Encode(const std::vector<std::uint32_t>& words) {
    std::vector<unsigned char> bytes;
    bytes.reserve(words.size() * 4);
    for (const std::uint32_t w : words) PutLittleEndian(bytes, w);
    return Base64(bytes.data(), bytes.size());
}

std::string Encode(const std::vector<float>& values) {
    std::vector<unsigned char> bytes;
    bytes.reserve(values.size() * 4);
    for (const float v : values) {
        std::uint32_t word = 0;
        std::memcpy(&word, &v, sizeof word);
        PutLittleEndian(bytes, word);
    }
    return Base64(bytes.data(), bytes.size());
}

Json Triple(Vec3 v) { return Json::array({v.x, v.y, v.z}); }

Json ObjectJson(const PageObject& o) {
    Json box = nullptr;
    if (!o.info.box.Empty()) box = Json::array({Triple(o.info.box.min), Triple(o.info.box.max)});
    return Json{{"name", o.name},
                {"vertices", o.info.vertices},
                {"vectors", o.info.vectors},
                {"triangular", o.info.triangular},
                {"quadrilateral", o.info.quadrilateral},
                {"openEdges", o.info.openEdges},
                {"skipped", o.skipped},
                {"box", box},
                {"spread", Triple(o.spreadOffset)},
                {"mesh",
                 {{"positions", Encode(o.mesh.positions)},
                  {"normals", Encode(o.mesh.normals)},
                  {"indices", Encode(o.mesh.indices)}}},
                {"points", Encode(o.points)},
                {"borders", Encode(o.borders)},
                {"openEdgeLines", Encode(o.openEdges)},
                {"net",
                 {{"points", Encode(o.netPoints)},
                  {"lines", Encode(o.netLines)},
                  {"verts", Encode(o.netVerts)},
                  {"vecs", Encode(o.netVecs)},
                  {"interior", Encode(o.netInterior)}}}};
}

Json CameraJson(const PageCamera& c) {
    Json camera{{"position", Triple(c.position)}, {"target", Triple(c.target)}, {"posed", c.posed}};
    if (c.posed) {
        camera["rotation"] = c.pose.rotation;
        camera["near"] = c.pose.znear;
    }
    return camera;
}

}  // namespace

std::int64_t PageModelLowerBound(const PatchIO& set, int steps) {
    // Per inner sample: a position and a normal in the mesh and a point,
    // 36 bytes; per triangle 12 bytes of indices; base64 adds a third.
    const std::int64_t inner = std::int64_t{steps - 1} * (steps - 1);
    const std::int64_t triangles = 2 * std::int64_t{steps} * steps;
    return TotalPatches(set) * (inner * 36 + triangles * 12) / 3 * 4;
}

PageModel BuildPageModel(const PatchIO& set, const std::string& path, const std::string& versionText, int steps,
                         support::Percentage& progress, Console& console) {
    PageModel model;
    model.file = std::filesystem::path(path).filename().string();
    model.versionText = versionText;
    model.steps = steps;
    const SetInfo info = DescribeSet(set, versionText);
    const std::vector<Vec3> offsets = SpreadOffsets(set);
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        model.objects.push_back(BuildObject(set, i, path, steps, info.objects[at], offsets[at], progress, console));
    }
    for (std::int32_t i = 0; i < set.NumCameras(); ++i) {
        const ExportCamera& camera = set.CameraAt(i);
        PageCamera page;
        page.position = Vec3::From(camera.position);
        page.target = Vec3::From(camera.target);
        page.posed = gltf::CanPose(camera);
        if (page.posed) page.pose = gltf::PoseCamera(camera);
        model.cameras.push_back(page);
    }
    return model;
}

std::string PageJson(const PageModel& model) {
    Json objects = Json::array(), cameras = Json::array();
    for (const PageObject& o : model.objects) objects.push_back(ObjectJson(o));
    for (const PageCamera& c : model.cameras) cameras.push_back(CameraJson(c));
    const Json json{{"file", model.file},
                    {"version", model.versionText},
                    {"steps", model.steps},
                    {"fieldOfView", kFieldOfViewDegrees},
                    {"objects", std::move(objects)},
                    {"cameras", std::move(cameras)}};
    const std::string text = json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string safe;
    safe.reserve(text.size());
    for (const char c : text) {
        if (c == '<')
            safe += "\\u003c";
        else
            safe += c;
    }
    return safe;
}

std::string Base64(const unsigned char* bytes, std::size_t count) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((count + 2) / 3 * 4);
    for (std::size_t i = 0; i < count; i += 3) {
        const std::size_t left = count - i;
        const std::uint32_t word = (std::uint32_t{bytes[i]} << 16) | (left > 1 ? std::uint32_t{bytes[i + 1]} << 8 : 0) |
                                   (left > 2 ? std::uint32_t{bytes[i + 2]} : 0);
        out += kAlphabet[(word >> 18) & 63];
        out += kAlphabet[(word >> 12) & 63];
        out += left > 1 ? kAlphabet[(word >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[word & 63] : '=';
    }
    return out;
}

}  // namespace patchtool
