// A polygon mesh of a given number of triangles, loaded into the in-memory
// host the way a modelling host holds one: an object that converts into a
// new patch object when the export asks for one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "memhost/MemoryHost.h"

namespace benchgen {

// Wavefront .obj text of a bent rectangular surface cut into triangles, in
// realistic coordinates: about the number asked for, exactly that number
// when it came from ExportTriangles.
std::string TriangleMeshText(std::int64_t triangles);

// The triangle count the export benchmarks use: one million, fewer for a
// set smaller than 40 MB (the tiny test runs); always one that the grid of
// TriangleMeshText makes exactly.
std::int64_t ExportTriangles();

// The mesh of ExportTriangles() as a convertible host object; sourceBytes
// tells the size of its polygon data. Null (with error set) on failure.
std::unique_ptr<MemoryObject> LoadTriangleMesh(std::int64_t triangles, std::string& error);

// The patch data that the host's conversion of object makes, in bytes, and
// releases it again.
std::size_t ConvertedBytes(MemoryObject& object);

}  // namespace benchgen
