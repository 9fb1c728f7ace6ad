// The byte form of an importer scene that the scene-import fuzz target
// reads and the seed program writes from real files: what the host scene
// is built from (nodes, meshes, cameras, lights), without the file readers
// of the importer library, whose own faults on malformed files are not this
// target's business.
//
// Little-endian, every count capped (see the constants), a missing byte
// reads as zero:
//   u8 meshes; per mesh: u16 vertices, float x y z each; u16 faces, per
//     face u8 corners and u16 vertex index each (indices may be wrong);
//   u8 cameras; per camera: u8 name, float look-at x y z;
//   u8 lights; per light: u8 name;
//   u8 nodes; per node: u8 name, u8 parent (any node, modulo the count;
//     node 0 is the root and its parent byte is not used), 12 floats (the
//     transform's first three rows), u8 meshes and u8 mesh index each
//     (indices may be wrong).
// A name byte n names "n<n>", so that names repeat and cameras find nodes.
#pragma once

#include <cstdint>
#include <string>

// Bounds of the byte form.
constexpr unsigned kCodecMaxMeshes = 8;
constexpr unsigned kCodecMaxVertices = 4096;
constexpr unsigned kCodecMaxFaces = 4096;
constexpr unsigned kCodecMaxCorners = 255;
constexpr unsigned kCodecMaxNodes = 64;

inline std::string CodecName(std::uint8_t n) { return "n" + std::to_string(n); }
