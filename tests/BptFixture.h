// Bezier patch files (.bpt) for the tool tests: read straight from the text
// and turned into an export object by the in-memory host's conventions, and
// evaluated directly by de Casteljau's construction as the reference.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"
#include "surface/Vec3.h"

namespace bpt {

// 16 control points, row by row: point 4 * r + c is P[r][c].
using ControlGrid = std::array<Float3, 16>;

std::vector<ControlGrid> ReadFile(const std::string& path);

// Corners P00, P03, P33, P30; handles P01 P02, P13 P23, P32 P31, P20 P10;
// interior P11 P12 P22 P21. Points merged by value; two patches whose edges
// have the same corners and handles are neighbours, a zero-length edge has
// none.
ExportPatchObject ToExportObject(const std::vector<ControlGrid>& grids);

// An n x n sheet of bicubic patches over a gentle height field, sharing
// their boundary control points; every other patch runs its rows
// backwards, so shared edges are met in both directions.
std::vector<ControlGrid> Sheet(int n);

// The surface point at s (along a row) and t (down the columns).
surface::Vec3 Evaluate(const ControlGrid& grid, double s, double t);

}  // namespace bpt
