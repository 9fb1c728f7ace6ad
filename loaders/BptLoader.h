// Bezier patch files (.bpt): bicubic patches as text. The first line holds
// the number of patches; each patch is a line with its degrees ("3 3")
// followed by 16 lines of "x y z", its control points row by row. Blank
// lines are skipped.
#pragma once

#include <array>
#include <istream>
#include <string>
#include <vector>

#include "host/HostTypes.h"
#include "memhost/MemoryHost.h"

// The 16 control points of one bicubic patch, P[r][c] at index r * 4 + c.
using ControlNet = std::array<Float3, 16>;

// Reads the patches of a Bezier patch file. On failure answers false, with
// error naming the file (as name) and the line.
bool ReadBezierPatches(std::istream& in, const std::string& name, std::vector<ControlNet>& patches, std::string& error);

// One quadrilateral patch per control net, in order. Corners are
// P[0][0], P[0][3], P[3][3], P[3][0]; edge i runs from corner i to corner
// i + 1 (mod 4) with its two handles in order from corner i (edge 0: P01,
// P02; edge 1: P13, P23; edge 2: P32, P31; edge 3: P20, P10); interior
// point i is the one next to corner i (P11, P12, P22, P21). Corners are
// merged by value into the vertices, handles and interior points into the
// vectors, in the order the patches list them (corners, then handles by
// slot, then interior points). Edges follow the treatment of
// PatchMeshBuilder.h.
MemoryPatchMesh BuildBezierMesh(const std::vector<ControlNet>& patches);
