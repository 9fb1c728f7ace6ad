// Polygon meshes from Wavefront .obj files.
#pragma once

#include <istream>
#include <string>

#include "memhost/PolygonMesh.h"

// Reads the positions and faces of a Wavefront .obj stream, all groups and
// objects of the file as one mesh; normals, texture coordinates, lines,
// points and materials are ignored. On failure answers false with error
// naming the file (as name) and what is wrong.
bool ReadPolygonMesh(std::istream& in, const std::string& name, PolygonMesh& mesh, std::string& error);
