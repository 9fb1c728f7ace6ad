#include "tools/patchtext/FileInfo.h"

#include <charconv>
#include <cmath>

#include "tools/patchtext/SceneRender.h"

namespace patchtool {
namespace {

std::string PointText(Vec3 p) { return "(" + NumberText(p.x) + ", " + NumberText(p.y) + ", " + NumberText(p.z) + ")"; }

// JSON has no infinities or not-a-number: those become null.
nlohmann::ordered_json Number(double value) {
    if (!std::isfinite(value)) return nullptr;
    // Through the float's shortest text, so 1.2f prints as 1.2.
    const std::string text = NumberText(value);
    double shortest = value;
    std::from_chars(text.data(), text.data() + text.size(), shortest);
    return shortest;
}

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

nlohmann::ordered_json Point(Vec3 p) { return nlohmann::ordered_json::array({Number(p.x), Number(p.y), Number(p.z)}); }

}  // namespace

std::string NumberText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return std::string(buffer, result.ptr);
}

SetInfo DescribeSet(const PatchIO& set, const std::string& versionText) {
    SetInfo info;
    info.versionText = versionText;
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        ObjectInfo o;
        o.vertices = object.NumVerts();
        o.vectors = object.NumVecs();
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) {
            const ExportPatch& patch = object.PatchAt(k);
            ++(patch.sides == 3 ? o.triangular : o.quadrilateral);
            for (std::int32_t e = 0; e < patch.SlotSides(); ++e) o.openEdges += patch.adjacent[e] == -1 ? 1 : 0;
        }
        o.box = ControlBox(object);
        info.objects.push_back(o);
    }
    for (std::int32_t m = 0; m < set.NumCameras(); ++m) {
        const Vec3 position = Vec3::From(set.CameraAt(m).position), target = Vec3::From(set.CameraAt(m).target);
        info.cameras.push_back({position, target, Length(target - position)});
    }
    return info;
}

std::string DescribeCounts(const SetInfo& info) {
    std::int64_t verts = 0, vecs = 0, triangles = 0, quads = 0;
    for (const ObjectInfo& o : info.objects) {
        verts += o.vertices;
        vecs += o.vectors;
        triangles += o.triangular;
        quads += o.quadrilateral;
    }
    const auto objects = static_cast<std::int64_t>(info.objects.size());
    return Plural(objects, "patch object", "patch objects") + ", " + Plural(verts, "vertex", "vertices") + ", " +
           Plural(vecs, "vector", "vectors") + ", " + Plural(triangles + quads, "patch", "patches") + " (" +
           std::to_string(triangles) + " triangular, " + std::to_string(quads) + " quadrilateral), " +
           Plural(static_cast<std::int64_t>(info.cameras.size()), "camera", "cameras");
}

void PrintInfo(std::ostream& out, const std::string& path, const SetInfo& info) {
    out << path << ": version " << info.versionText << ", " << info.objects.size() << " patch object"
        << (info.objects.size() == 1 ? "" : "s") << ", " << info.cameras.size() << " camera"
        << (info.cameras.size() == 1 ? "" : "s") << '\n';
    for (std::size_t i = 0; i < info.objects.size(); ++i) {
        const ObjectInfo& o = info.objects[i];
        out << "patch object " << i << ": " << o.vertices << " vertices, " << o.vectors << " vectors, " << o.triangular
            << " triangular and " << o.quadrilateral << " quadrilateral patches, " << o.openEdges << " open edges\n";
        out << "  bounding box: "
            << (o.box.Empty() ? std::string("none") : PointText(o.box.min) + " to " + PointText(o.box.max)) << '\n';
    }
    for (std::size_t m = 0; m < info.cameras.size(); ++m) {
        const CameraInfo& c = info.cameras[m];
        out << "camera " << m << ": position " << PointText(c.position) << ", target " << PointText(c.target)
            << ", distance " << NumberText(c.distance) << '\n';
    }
}

nlohmann::ordered_json InfoJson(const std::string& path, const SetInfo& info) {
    nlohmann::ordered_json objects = nlohmann::ordered_json::array();
    for (const ObjectInfo& o : info.objects) {
        nlohmann::ordered_json box = nullptr;
        if (!o.box.Empty()) box = {{"min", Point(o.box.min)}, {"max", Point(o.box.max)}};
        objects.push_back({{"vertices", o.vertices},
                           {"vectors", o.vectors},
                           {"triangularPatches", o.triangular},
                           {"quadrilateralPatches", o.quadrilateral},
                           {"openEdges", o.openEdges},
                           {"boundingBox", box}});
    }
    nlohmann::ordered_json cameras = nlohmann::ordered_json::array();
    for (const CameraInfo& c : info.cameras)
        cameras.push_back(
            {{"position", Point(c.position)}, {"target", Point(c.target)}, {"distance", Number(c.distance)}});
    return {{"file", path}, {"version", info.versionText}, {"patchObjects", objects}, {"cameras", cameras}};
}

}  // namespace patchtool
