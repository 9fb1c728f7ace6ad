// Polygon meshes from Wavefront .obj files.
#pragma once

#include <functional>
#include <istream>
#include <string>

#include "memhost/PolygonMesh.h"

// Reads the positions and faces of a Wavefront .obj stream, all groups and
// objects of the file as one mesh; normals, texture coordinates and
// materials are ignored, faces of more than 255 corners become fans of
// triangles, and points and lines are left out with a warning to warn (if
// any). On failure (a file without faces too) answers false with error
// naming the file (as name) and what is wrong. in must be seekable.
bool ReadPolygonMesh(std::istream& in, const std::string& name, PolygonMesh& mesh, std::string& error,
                     const std::function<void(const std::string&)>& warn = {});
