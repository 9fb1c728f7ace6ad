// Small patch objects built the way the in-memory host builds them from
// polygon meshes: edge vectors at one and two thirds along each edge and the
// interior vectors that make the patch exactly the flat polygon.
#pragma once

#include <vector>

#include "patchio/PatchIO.h"

namespace meshobjects {

// Appends a triangular patch over corners a, b, c (new vertices and vectors).
void AddTriangle(ExportPatchObject& object, Float3 a, Float3 b, Float3 c);
// Appends a quadrilateral patch over corners a, b, c, d: the bilinear quad.
void AddQuad(ExportPatchObject& object, Float3 a, Float3 b, Float3 c, Float3 d);

}  // namespace meshobjects
