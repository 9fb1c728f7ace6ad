#include "loaders/SceneTransform.h"

#include <cmath>

namespace {

// A 3 by 3 matrix in double, so that a chain of transforms rounds to float
// once per node.
struct Rows {
    double m[3][3];
};

Rows Product(const Rows& a, const Rows& b) {
    Rows p{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) p.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c];
    }
    return p;
}

Rows Rotation(int axis, double degrees) {
    const double radians = degrees * (3.14159265358979323846 / 180.0);
    const double c = std::cos(radians), s = std::sin(radians);
    if (axis == 0) return {{{1, 0, 0}, {0, c, s}, {0, -s, c}}};
    if (axis == 1) return {{{c, 0, -s}, {0, 1, 0}, {s, 0, c}}};
    return {{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
}

Rows Linear(const Matrix3& m) {
    Rows rows{};
    for (int r = 0; r < 3; ++r) {
        rows.m[r][0] = m.row[r].x;
        rows.m[r][1] = m.row[r].y;
        rows.m[r][2] = m.row[r].z;
    }
    return rows;
}

Float3 RowOf(const double (&row)[3]) {
    return {static_cast<float>(row[0]), static_cast<float>(row[1]), static_cast<float>(row[2])};
}

}  // namespace

Matrix3 LocalMatrix(const Transform& t) {
    const Rows scale{{{t.scale.x, 0, 0}, {0, t.scale.y, 0}, {0, 0, t.scale.z}}};
    const Rows turned =
        Product(Product(Product(scale, Rotation(0, t.rotationDegrees.x)), Rotation(1, t.rotationDegrees.y)),
                Rotation(2, t.rotationDegrees.z));
    Matrix3 m;
    for (int r = 0; r < 3; ++r) m.row[r] = RowOf(turned.m[r]);
    m.row[3] = t.translation;
    return m;
}

Matrix3 Compose(const Matrix3& first, const Matrix3& second) {
    const Rows b = Linear(second);
    const Rows linear = Product(Linear(first), b);
    const Float3& t = first.row[3];
    const double moved[3] = {t.x * b.m[0][0] + t.y * b.m[1][0] + t.z * b.m[2][0] + second.row[3].x,
                             t.x * b.m[0][1] + t.y * b.m[1][1] + t.z * b.m[2][1] + second.row[3].y,
                             t.x * b.m[0][2] + t.y * b.m[1][2] + t.z * b.m[2][2] + second.row[3].z};
    Matrix3 m;
    for (int r = 0; r < 3; ++r) m.row[r] = RowOf(linear.m[r]);
    m.row[3] = RowOf(moved);
    return m;
}

bool IsFinite(const Matrix3& m) {
    for (const Float3& row : m.row) {
        if (!std::isfinite(row.x) || !std::isfinite(row.y) || !std::isfinite(row.z)) return false;
    }
    return true;
}
