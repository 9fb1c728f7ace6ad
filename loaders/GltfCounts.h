// What a glTF 2.0 file declares of its triangles, read from its JSON
// (.gltf, or the JSON chunk of a .glb): so that faces the importer drops
// (indices out of range) are seen in the scene's own counts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The triangles of every mesh primitive of the file (each mesh once), from
// its accessors' counts; nothing where the file is not glTF 2.0 JSON that
// this reads, or where a primitive is not a list of triangles.
std::optional<std::uint64_t> GltfDeclaredTriangles(const std::string& bytes);
