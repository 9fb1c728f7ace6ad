#include "gltf/SceneWriter.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>

#include <nlohmann/json.hpp>

#include "text/AsciiCase.h"

namespace gltf {
namespace {

using Json = nlohmann::ordered_json;

// The numbers glTF gives its component types, buffer targets and modes.
constexpr int kFloat = 5126;
constexpr int kUnsignedShort = 5123;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr int kTriangles = 4;
// 16-bit indices up to this vertex count: 65535 itself is the primitive
// restart value, which glTF forbids as an index.
constexpr std::size_t kMaxShortIndexedVertices = 65535;

// The .glb container: magic "glTF", version 2, chunk types "JSON" and "BIN".
constexpr std::uint32_t kGlbMagic = 0x46546C67u;
constexpr std::uint32_t kGlbVersion = 2;
constexpr std::uint32_t kJsonChunk = 0x4E4F534Au;
constexpr std::uint32_t kBinChunk = 0x004E4942u;
constexpr std::uint64_t kGlbHeaderBytes = 12;
constexpr std::uint64_t kChunkHeaderBytes = 8;

constexpr char kDataUri[] = "data:application/octet-stream;base64,";

std::uint64_t Align4(std::uint64_t n) { return (n + 3) & ~std::uint64_t{3}; }

bool ShortIndices(const MeshData& mesh) { return mesh.VertexCount() <= kMaxShortIndexedVertices; }

// Where each mesh's arrays lie in the one buffer, each from a multiple of 4.
struct MeshPlace {
    std::uint64_t positions = 0, normals = 0, indices = 0, indexBytes = 0;
};

struct BufferPlan {
    std::vector<MeshPlace> places;  // per object; meaningful for those with triangles
    std::uint64_t bytes = 0;
};

BufferPlan Plan(const std::vector<MeshData>& objects) {
    BufferPlan plan;
    for (const MeshData& mesh : objects) {
        MeshPlace place;
        if (mesh.TriangleCount() > 0) {
            const std::uint64_t attribute = 3 * sizeof(float) * mesh.VertexCount();
            place.positions = plan.bytes;
            place.normals = place.positions + attribute;
            place.indices = place.normals + attribute;
            place.indexBytes = (ShortIndices(mesh) ? 2 : 4) * std::uint64_t{mesh.indices.size()};
            plan.bytes = Align4(place.indices + place.indexBytes);
        }
        plan.places.push_back(place);
    }
    return plan;
}

std::array<float, 3> Bound(const std::vector<float>& xyz, bool lowest) {
    std::array<float, 3> bound{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        float b = xyz[axis];
        for (std::size_t i = axis; i < xyz.size(); i += 3) b = lowest ? std::min(b, xyz[i]) : std::max(b, xyz[i]);
        bound[axis] = b;
    }
    return bound;
}

Json Numbers(const std::array<float, 3>& v) { return Json::array({double{v[0]}, double{v[1]}, double{v[2]}}); }

Json BufferView(std::uint64_t offset, std::uint64_t length, int target) {
    return Json{{"buffer", 0}, {"byteOffset", offset}, {"byteLength", length}, {"target", target}};
}

void AddMesh(const MeshData& mesh, const MeshPlace& place, Json& doc) {
    const std::size_t view = doc["bufferViews"].size();
    const std::uint64_t attribute = place.normals - place.positions;
    doc["bufferViews"].push_back(BufferView(place.positions, attribute, kArrayBuffer));
    doc["bufferViews"].push_back(BufferView(place.normals, attribute, kArrayBuffer));
    doc["bufferViews"].push_back(BufferView(place.indices, place.indexBytes, kElementArrayBuffer));
    const std::size_t accessor = doc["accessors"].size();
    doc["accessors"].push_back(Json{{"bufferView", view},
                                    {"componentType", kFloat},
                                    {"count", mesh.VertexCount()},
                                    {"type", "VEC3"},
                                    {"min", Numbers(Bound(mesh.positions, true))},
                                    {"max", Numbers(Bound(mesh.positions, false))}});
    doc["accessors"].push_back(
        Json{{"bufferView", view + 1}, {"componentType", kFloat}, {"count", mesh.VertexCount()}, {"type", "VEC3"}});
    doc["accessors"].push_back(Json{{"bufferView", view + 2},
                                    {"componentType", ShortIndices(mesh) ? kUnsignedShort : kUnsignedInt},
                                    {"count", mesh.indices.size()},
                                    {"type", "SCALAR"}});
    const Json primitive{{"attributes", {{"POSITION", accessor}, {"NORMAL", accessor + 1}}},
                         {"indices", accessor + 2},
                         {"mode", kTriangles}};
    doc["meshes"].push_back(Json{{"name", mesh.name}, {"primitives", Json::array({primitive})}});
}

// Feeds the buffer's bytes, mesh after mesh, to sink. The arrays are copied
// as they lie in memory: every target of this project stores numbers
// little-endian, as glTF does.
void EmitBuffer(const std::vector<MeshData>& objects, const BufferPlan& plan,
                const std::function<void(const char*, std::size_t)>& sink) {
    std::uint64_t written = 0;
    const char zeros[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const MeshData& mesh = objects[i];
        if (mesh.TriangleCount() == 0) continue;
        sink(reinterpret_cast<const char*>(mesh.positions.data()), mesh.positions.size() * sizeof(float));
        sink(reinterpret_cast<const char*>(mesh.normals.data()), mesh.normals.size() * sizeof(float));
        if (ShortIndices(mesh)) {
            const std::vector<std::uint16_t> shorts(mesh.indices.begin(), mesh.indices.end());
            sink(reinterpret_cast<const char*>(shorts.data()), shorts.size() * sizeof(std::uint16_t));
        } else {
            sink(reinterpret_cast<const char*>(mesh.indices.data()), mesh.indices.size() * sizeof(std::uint32_t));
        }
        const MeshPlace& place = plan.places[i];
        written = place.indices + place.indexBytes;
        sink(zeros, static_cast<std::size_t>(Align4(written) - written));
    }
}

// Base64 of a byte stream that arrives in pieces.
class Base64Stream {
public:
    explicit Base64Stream(std::ostream& out) : out_(out) {}

    void Feed(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            group_[held_++] = static_cast<unsigned char>(data[i]);
            if (held_ == 3) EncodeGroup();
        }
        if (text_.size() >= kFlushAt) Flush();
    }
    void Finish() {
        if (held_ > 0) EncodeGroup();
        Flush();
    }

private:
    static constexpr std::size_t kFlushAt = std::size_t{1} << 16;

    void EncodeGroup() {
        static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const std::size_t count = held_;
        for (std::size_t i = held_; i < 3; ++i) group_[i] = 0;
        const unsigned bits = (unsigned{group_[0]} << 16) | (unsigned{group_[1]} << 8) | unsigned{group_[2]};
        for (std::size_t i = 0; i < 4; ++i) text_.push_back(i <= count ? kAlphabet[(bits >> (18 - 6 * i)) & 63u] : '=');
        held_ = 0;
    }
    void Flush() {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

    std::ostream& out_;
    std::string text_;
    unsigned char group_[3] = {0, 0, 0};
    std::size_t held_ = 0;
};

void WriteU32(std::ostream& out, std::uint32_t value) {
    const char bytes[4] = {static_cast<char>(value & 0xFFu), static_cast<char>((value >> 8) & 0xFFu),
                           static_cast<char>((value >> 16) & 0xFFu), static_cast<char>((value >> 24) & 0xFFu)};
    out.write(bytes, 4);
}

Json Document(const std::string& generator, const std::vector<MeshData>& objects,
              const std::vector<CameraNode>& cameras, const BufferPlan& plan, Container container) {
    Json doc;
    doc["asset"] = Json{{"version", "2.0"}, {"generator", generator}};
    doc["scene"] = 0;
    doc["scenes"] = Json::array({Json{{"nodes", Json::array({0})}}});
    // The remaining parts in the order a reader expects them; those left
    // empty are dropped at the end, as glTF wants no empty lists.
    for (const char* part : {"nodes", "meshes", "cameras", "accessors", "bufferViews", "buffers"}) doc[part] = nullptr;
    Json& nodes = doc["nodes"];
    nodes.push_back(Json{
        {"name", "patch text space, +z up"},
        {"rotation", Json::array({kUpAxisRotation[0], kUpAxisRotation[1], kUpAxisRotation[2], kUpAxisRotation[3]})}});
    for (std::size_t i = 0; i < objects.size(); ++i) {
        Json node{{"name", objects[i].name}};
        if (objects[i].TriangleCount() > 0) {
            node["mesh"] = doc["meshes"].size();
            AddMesh(objects[i], plan.places[i], doc);
        }
        nodes.push_back(node);
    }
    for (std::size_t i = 0; i < cameras.size(); ++i) {
        const CameraPose& pose = cameras[i].pose;
        nodes.push_back(Json{
            {"name", cameras[i].name}, {"camera", i}, {"translation", pose.translation}, {"rotation", pose.rotation}});
        doc["cameras"].push_back(
            Json{{"name", cameras[i].name},
                 {"type", "perspective"},
                 {"perspective", {{"aspectRatio", pose.aspectRatio}, {"yfov", pose.yfov}, {"znear", pose.znear}}}});
    }
    for (std::size_t n = 1; n < nodes.size(); ++n) nodes[0]["children"].push_back(n);
    if (plan.bytes > 0) {
        Json buffer{{"byteLength", plan.bytes}};
        if (container == Container::kEmbedded) buffer["uri"] = kDataUri;
        doc["buffers"].push_back(buffer);
    }
    for (auto part = doc.begin(); part != doc.end();) part = part->is_null() ? doc.erase(part) : std::next(part);
    return doc;
}

}  // namespace

bool ContainerForPath(const std::string& path, Container& container) {
    const std::string lower = LowerAscii(path);
    const auto endsWith = [&lower](const std::string& tail) {
        return lower.size() > tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(".glb"))
        container = Container::kBinary;
    else if (endsWith(".gltf"))
        container = Container::kEmbedded;
    else
        return false;
    return true;
}

bool SceneWriter::Write(std::ostream& out, Container container, std::string* why) const {
    const BufferPlan plan = Plan(objects_);
    const Json doc = Document(generator_, objects_, cameras_, plan, container);
    if (container == Container::kEmbedded) {
        // The buffer's URI is the last value of the document (its buffers
        // come last, the URI last in the buffer), so the last match is it:
        // a name may hold the same text.
        const std::string text = doc.dump(1) + '\n';
        const std::size_t uriEnd = plan.bytes > 0 ? text.rfind(kDataUri) + sizeof kDataUri - 1 : text.size();
        out.write(text.data(), static_cast<std::streamsize>(uriEnd));
        Base64Stream base64(out);
        EmitBuffer(objects_, plan, [&base64](const char* data, std::size_t size) { base64.Feed(data, size); });
        base64.Finish();
        out.write(text.data() + uriEnd, static_cast<std::streamsize>(text.size() - uriEnd));
        return true;
    }

    std::string text = doc.dump();
    text.resize(Align4(text.size()), ' ');
    const std::uint64_t total =
        kGlbHeaderBytes + kChunkHeaderBytes + text.size() + (plan.bytes > 0 ? kChunkHeaderBytes + plan.bytes : 0);
    if (total > maxBinaryBytes_) {
        if (why)
            *why = "the scene takes " + std::to_string(total) + " bytes, more than a .glb can hold (" +
                   std::to_string(maxBinaryBytes_) +
                   " bytes); "
                   "write a .gltf or use fewer --steps";
        return false;
    }
    WriteU32(out, kGlbMagic);
    WriteU32(out, kGlbVersion);
    WriteU32(out, static_cast<std::uint32_t>(total));
    WriteU32(out, static_cast<std::uint32_t>(text.size()));
    WriteU32(out, kJsonChunk);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (plan.bytes > 0) {
        WriteU32(out, static_cast<std::uint32_t>(plan.bytes));
        WriteU32(out, kBinChunk);
        EmitBuffer(objects_, plan,
                   [&out](const char* data, std::size_t size) { out.write(data, static_cast<std::streamsize>(size)); });
    }
    return true;
}

}  // namespace gltf
