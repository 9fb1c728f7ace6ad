#include "surface/BezierPatch.h"

#include <cstdint>

namespace surface {
namespace {

struct Cubic {
    double b[4];  // Bernstein basis values
    double d[4];  // their derivatives
};

Cubic Bernstein(double t) {
    const double s = 1.0 - t;
    Cubic c{};
    c.b[0] = s * s * s;
    c.b[1] = 3.0 * t * s * s;
    c.b[2] = 3.0 * t * t * s;
    c.b[3] = t * t * t;
    c.d[0] = -3.0 * s * s;
    c.d[1] = 3.0 * s * s - 6.0 * t * s;
    c.d[2] = 6.0 * t * s - 3.0 * t * t;
    c.d[3] = 3.0 * t * t;
    return c;
}

struct QuadEval {
    Vec3 point;
    Vec3 du;
    Vec3 dv;
};

QuadEval EvaluateQuad(const PatchNet& net, double s, double t) {
    const auto grid = net.QuadGrid();
    const Cubic cs = Bernstein(s);
    const Cubic ct = Bernstein(t);
    QuadEval e;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const Vec3& p = grid[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            e.point += (ct.b[r] * cs.b[c]) * p;
            e.du += (ct.b[r] * cs.d[c]) * p;
            e.dv += (ct.d[r] * cs.b[c]) * p;
        }
    }
    return e;
}

// The triangle's cubic F(w0, w1, w2) and its partial derivatives.
struct TriEval {
    Vec3 point;
    Vec3 d[3];
};

TriEval EvaluateTri(const PatchNet& net, double a, double b) {
    const double w0 = 1.0 - a - b;
    const double w1 = a;
    const double w2 = b;
    const Vec3 &c0 = net.corner[0], &c1 = net.corner[1], &c2 = net.corner[2];
    const Vec3 &h00 = net.handle[0][0], &h01 = net.handle[0][1];
    const Vec3 &h10 = net.handle[1][0], &h11 = net.handle[1][1];
    const Vec3 &h20 = net.handle[2][0], &h21 = net.handle[2][1];
    const Vec3 centre = net.TriCentre();
    TriEval e;
    e.point = (w0 * w0 * w0) * c0 + (w1 * w1 * w1) * c1 + (w2 * w2 * w2) * c2 + (3 * w0 * w0 * w1) * h00 +
              (3 * w0 * w1 * w1) * h01 + (3 * w1 * w1 * w2) * h10 + (3 * w1 * w2 * w2) * h11 +
              (3 * w2 * w2 * w0) * h20 + (3 * w2 * w0 * w0) * h21 + (6 * w0 * w1 * w2) * centre;
    e.d[0] = (3 * w0 * w0) * c0 + (6 * w0 * w1) * h00 + (3 * w1 * w1) * h01 + (3 * w2 * w2) * h20 +
             (6 * w2 * w0) * h21 + (6 * w1 * w2) * centre;
    e.d[1] = (3 * w1 * w1) * c1 + (3 * w0 * w0) * h00 + (6 * w0 * w1) * h01 + (6 * w1 * w2) * h10 +
             (3 * w2 * w2) * h11 + (6 * w0 * w2) * centre;
    e.d[2] = (3 * w2 * w2) * c2 + (3 * w1 * w1) * h10 + (6 * w1 * w2) * h11 + (6 * w2 * w0) * h20 +
             (3 * w0 * w0) * h21 + (6 * w0 * w1) * centre;
    return e;
}

bool InList(std::int32_t index, std::int32_t count) { return index >= 0 && index < count; }

}  // namespace

Vec3 EvaluateCurve(const EdgeCurve& curve, double t) {
    const Cubic c = Bernstein(t);
    return c.b[0] * curve[0] + c.b[1] * curve[1] + c.b[2] * curve[2] + c.b[3] * curve[3];
}

EdgeCurve PatchNet::Edge(int i) const {
    const int next = (i + 1) % sides;
    return {corner[i], handle[i][0], handle[i][1], corner[next]};
}

std::array<std::array<Vec3, 4>, 4> PatchNet::QuadGrid() const {
    std::array<std::array<Vec3, 4>, 4> p;
    p[0] = {corner[0], handle[0][0], handle[0][1], corner[1]};
    p[1] = {handle[3][1], interior[0], interior[1], handle[1][0]};
    p[2] = {handle[3][0], interior[3], interior[2], handle[1][1]};
    p[3] = {corner[3], handle[2][1], handle[2][0], corner[2]};
    return p;
}

Vec3 PatchNet::TriCentre() const { return (1.0 / 3.0) * (interior[0] + interior[1] + interior[2]); }

Vec3 PatchNet::Point(double u, double v) const {
    return sides == 4 ? EvaluateQuad(*this, u, v).point : EvaluateTri(*this, u, v).point;
}

Vec3 PatchNet::Normal(double u, double v) const {
    if (sides == 4) {
        const QuadEval e = EvaluateQuad(*this, u, v);
        return Cross(e.du, e.dv);
    }
    const TriEval e = EvaluateTri(*this, u, v);
    return Cross(e.d[1] - e.d[0], e.d[2] - e.d[0]);
}

Vec3 PatchNet::UnitNormal(double u, double v, Vec3 fallback) const {
    // Where two corners coincide (the pole of a lid) the derivatives vanish
    // or run parallel; the surface still has a limit normal there, which a
    // point slightly inside the patch approximates.
    const double middleU = sides == 4 ? 0.5 : 1.0 / 3.0;
    const double middleV = middleU;
    const Vec3 none{0, 0, 0};
    double pull = 0.0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const double pu = u + pull * (middleU - u);
        const double pv = v + pull * (middleV - v);
        const Vec3 n = NormalizedOr(Normal(pu, pv), none);
        if (n != none) return n;
        pull = pull == 0.0 ? 1e-4 : pull * 10.0;
    }
    return fallback;
}

std::string ResolveNet(const ExportPatchObject& object, const ExportPatch& patch, PatchNet& net) {
    if (patch.sides != 3 && patch.sides != 4) return "side count " + std::to_string(patch.sides) + " is not 3 or 4";
    net.sides = patch.sides;
    const std::int32_t numVerts = object.NumVerts();
    const std::int32_t numVecs = object.NumVecs();
    for (int i = 0; i < patch.sides; ++i) {
        const std::int32_t v = patch.verts[i];
        if (!InList(v, numVerts)) return "vertex index " + std::to_string(v) + " is outside the vertex list";
        net.corner[i] = Vec3::From(object.VertAt(v));
        const std::int32_t in = patch.interior[i];
        if (!InList(in, numVecs)) return "interior index " + std::to_string(in) + " is outside the vector list";
        net.interior[i] = Vec3::From(object.VecAt(in));
        for (int k = 0; k < 2; ++k) {
            const std::int32_t h = patch.vecs[2 * i + k];
            if (!InList(h, numVecs)) return "vector index " + std::to_string(h) + " is outside the vector list";
            net.handle[i][k] = Vec3::From(object.VecAt(h));
        }
    }
    for (int i = 0; i < patch.sides; ++i) {
        if (!IsFinite(net.corner[i]) || !IsFinite(net.interior[i]) || !IsFinite(net.handle[i][0]) ||
            !IsFinite(net.handle[i][1])) {
            return "a control point is not finite";
        }
    }
    return std::string();
}

}  // namespace surface
