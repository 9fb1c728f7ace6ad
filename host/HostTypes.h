// Value types of the host application interface. Plain, copyable records.
#pragma once

#include <cstdint>

// A point or direction: three 32-bit floats. Two are equal when all three
// components are equal (so -0 equals 0 and a NaN equals nothing).
struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Float3() = default;
    constexpr Float3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    friend constexpr bool operator==(const Float3& a, const Float3& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }
    friend constexpr bool operator!=(const Float3& a, const Float3& b) { return !(a == b); }
};

// Scene time in the host's ticks.
typedef std::int32_t HostTime;

// A validity interval: start and end times.
struct HostInterval {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

// The host's two-word class identifier.
struct HostTypeId {
    std::uint32_t a = 0;
    std::uint32_t b = 0;

    friend constexpr bool operator==(const HostTypeId& l, const HostTypeId& r) { return l.a == r.a && l.b == r.b; }
    friend constexpr bool operator!=(const HostTypeId& l, const HostTypeId& r) { return !(l == r); }
};

// Type identifiers that the host converts objects to.
constexpr HostTypeId PatchObjectType{0x1030u, 0u};
constexpr HostTypeId LookAtCameraType{0x1002u, 0u};

// What a camera evaluation fills in; the plug-in never reads it.
struct HostCameraState {
    int isOrtho = 0;
    float fov = 0.785398f;
    float nearRange = 0.0f;
    float farRange = 1000.0f;
};

// A node transform: three rows of the rotation and scale part, then the
// translation row (row vectors: p' = p * M).
struct Matrix3 {
    Float3 row[4] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};

    static Matrix3 Identity() { return Matrix3(); }
    static Matrix3 Translation(Float3 t) {
        Matrix3 m;
        m.row[3] = t;
        return m;
    }
};

// A rotation as a unit quaternion.
struct HostQuat {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// The decomposition of a transform. Only the translation, its first member,
// is read by the plug-in.
struct AffineParts {
    Float3 t;           // translation
    HostQuat q;         // essential rotation
    HostQuat u;         // stretch rotation
    Float3 k{1, 1, 1};  // stretch factors (scale)
    float f = 1.0f;     // sign of the determinant
};
