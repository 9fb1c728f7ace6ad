// Double-precision points and directions for tessellation and rendering.
#pragma once

#include <cmath>

#include "host/HostTypes.h"

namespace surface {

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr Vec3() = default;
    constexpr Vec3(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    static constexpr Vec3 From(const Float3& p) { return {p.x, p.y, p.z}; }

    friend constexpr Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend constexpr Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend constexpr Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
    friend constexpr Vec3 operator*(Vec3 a, double s) { return s * a; }
    friend constexpr Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
    Vec3& operator+=(Vec3 b) { return *this = *this + b; }
    friend constexpr bool operator==(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
    friend constexpr bool operator!=(Vec3 a, Vec3 b) { return !(a == b); }
};

constexpr double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline double Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline bool IsFinite(Vec3 a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }
inline bool IsFinite(const Float3& a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// a scaled to unit length; fallback when a has no usable length.
inline Vec3 NormalizedOr(Vec3 a, Vec3 fallback) {
    const double length = Length(a);
    if (!(length > 1e-300) || !std::isfinite(length)) return fallback;
    return (1.0 / length) * a;
}

// An axis-aligned box; empty until the first point is added.
struct Box3 {
    Vec3 min{HUGE_VAL, HUGE_VAL, HUGE_VAL};
    Vec3 max{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};

    bool Empty() const { return min.x > max.x; }
    void Add(Vec3 p) {
        min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
        max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
    }
    void Add(const Box3& b) {
        if (b.Empty()) return;
        Add(b.min);
        Add(b.max);
    }
    Vec3 Centre() const { return 0.5 * (min + max); }
};

}  // namespace surface
