// The surface of one exported patch.
//
// A quadrilateral patch is the bicubic Bezier patch whose 4x4 control grid
// P[row][column] is made of the patch's corners, edge vectors and interior
// vectors as the in-memory host lays them out:
//   corners   P00, P03, P33, P30 = verts 0, 1, 2, 3
//   edge 0    P01, P02 (from corner 0 towards corner 1) = vecs 0, 1
//   edge 1    P13, P23 = vecs 2, 3
//   edge 2    P32, P31 = vecs 4, 5
//   edge 3    P20, P10 = vecs 6, 7
//   interior  P11, P12, P22, P21 = interior 0, 1, 2, 3
// Parameter s runs along edge 0 (columns), t along the reverse of edge 3
// (rows): S(s, t) = sum B_r(t) B_c(s) P[r][c].
//
// A triangular patch is the cubic triangular Bezier patch over barycentric
// weights (w0, w1, w2) of its corners: corners b300, b030, b003; edge i runs
// from corner i to corner i+1 with vecs 2i and 2i+1 as its control points
// at one and two thirds; the centre control point b111 is the mean of the
// three interior vectors. For a flat triangle, whose interior vectors lie at
// (4 v_i + v_{i+1} + v_{i+2}) / 6, that mean is the centroid, so the patch is
// exactly the flat triangle. Parameters are a = w1 and b = w2.
#pragma once

#include <array>
#include <string>

#include "patchio/PatchIO.h"
#include "surface/Vec3.h"

namespace surface {

// One edge's cubic Bezier curve, from its first corner to its second.
using EdgeCurve = std::array<Vec3, 4>;

Vec3 EvaluateCurve(const EdgeCurve& curve, double t);

// The control points of one patch, resolved against its object's lists.
struct PatchNet {
    int sides = 4;
    Vec3 corner[4];
    Vec3 handle[4][2];  // per edge, in order from its first corner
    Vec3 interior[4];

    EdgeCurve Edge(int i) const;
    // The 4x4 grid of a quadrilateral patch, P[row][column].
    std::array<std::array<Vec3, 4>, 4> QuadGrid() const;
    // The centre control point of a triangular patch.
    Vec3 TriCentre() const;

    // The surface point at (s, t) of a quad, or (a, b) of a triangle.
    Vec3 Point(double u, double v) const;
    // The unnormalised surface normal there: dS/du x dS/dv, which points to
    // the side from which the corners run counter-clockwise. Zero where the
    // patch is degenerate.
    Vec3 Normal(double u, double v) const;
    // A unit normal at (u, v); where the patch is degenerate there, the normal
    // of a point a little towards the patch's middle. fallback if none helps.
    Vec3 UnitNormal(double u, double v, Vec3 fallback) const;
};

// Resolves patch against object into net. Answers an empty string, or why
// the patch has no surface (a side count other than 3 or 4, an index
// outside its list, a coordinate that is not finite).
std::string ResolveNet(const ExportPatchObject& object, const ExportPatch& patch, PatchNet& net);

}  // namespace surface
