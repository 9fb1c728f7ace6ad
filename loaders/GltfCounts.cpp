#include "loaders/GltfCounts.h"

#include <cstring>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::json;

// A .glb: a 12-byte header, then the JSON chunk's length and type.
constexpr std::size_t kGlbHeaderBytes = 12;
constexpr std::uint32_t kGlbMagic = 0x46546C67;      // "glTF"
constexpr std::uint32_t kGlbJsonChunk = 0x4E4F534A;  // "JSON"
// The primitive mode of a list of triangles, glTF's default.
constexpr int kTriangles = 4;

std::uint32_t Word(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// The JSON text of the file: all of a .gltf, the first chunk of a .glb.
std::optional<std::string> JsonText(const std::string& bytes) {
    if (bytes.size() < kGlbHeaderBytes || Word(bytes, 0) != kGlbMagic) return bytes;
    if (bytes.size() < kGlbHeaderBytes + 8 || Word(bytes, kGlbHeaderBytes + 4) != kGlbJsonChunk) return std::nullopt;
    const std::uint32_t length = Word(bytes, kGlbHeaderBytes);
    if (length > bytes.size() - kGlbHeaderBytes - 8) return std::nullopt;
    return bytes.substr(kGlbHeaderBytes + 8, length);
}

std::optional<std::uint64_t> AccessorCount(const Json& document, const Json& index) {
    if (!index.is_number_unsigned() || !document.contains("accessors")) return std::nullopt;
    const Json& accessors = document["accessors"];
    const auto at = index.get<std::size_t>();
    if (!accessors.is_array() || at >= accessors.size() || !accessors[at].contains("count") ||
        !accessors[at]["count"].is_number_unsigned())
        return std::nullopt;
    return accessors[at]["count"].get<std::uint64_t>();
}

std::optional<std::uint64_t> PrimitiveTriangles(const Json& document, const Json& primitive) {
    if (!primitive.is_object() || primitive.value("mode", kTriangles) != kTriangles) return std::nullopt;
    if (primitive.contains("indices")) {
        const std::optional<std::uint64_t> count = AccessorCount(document, primitive["indices"]);
        if (count) return *count / 3;
        return std::nullopt;
    }
    if (!primitive.contains("attributes") || !primitive["attributes"].contains("POSITION")) return std::nullopt;
    const std::optional<std::uint64_t> count = AccessorCount(document, primitive["attributes"]["POSITION"]);
    if (count) return *count / 3;
    return std::nullopt;
}

}  // namespace

std::optional<std::uint64_t> GltfDeclaredTriangles(const std::string& bytes) {
    const std::optional<std::string> text = JsonText(bytes);
    if (!text) return std::nullopt;
    const Json document = Json::parse(*text, nullptr, false);
    if (document.is_discarded() || !document.is_object() || !document.contains("meshes") ||
        !document["meshes"].is_array())
        return std::nullopt;
    std::uint64_t triangles = 0;
    for (const Json& mesh : document["meshes"]) {
        if (!mesh.is_object() || !mesh.contains("primitives") || !mesh["primitives"].is_array()) return std::nullopt;
        for (const Json& primitive : mesh["primitives"]) {
            const std::optional<std::uint64_t> count = PrimitiveTriangles(document, primitive);
            if (!count) return std::nullopt;
            triangles += *count;
        }
    }
    return triangles;
}
