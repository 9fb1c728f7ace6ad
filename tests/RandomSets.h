// Random export sets for the property tests of the writer and the reader:
// objects of every size from none up, patches of both kinds (and, where
// asked, side counts the format does not know), and coordinates of every
// magnitude and sign.
#pragma once

#include <cstdint>
#include <limits>
#include <random>

#include "patchio/PatchIO.h"

namespace randomsets {

struct Shape {
    std::int32_t maxObjects = 4;
    std::int32_t maxPoints = 200;
    std::int32_t maxPatches = 60;
    std::int32_t maxCameras = 3;
    bool oddSides = false;   // side counts beyond 3 and 4
    bool nonFinite = false;  // infinities and NaNs among the coordinates
};

inline float Coordinate(std::mt19937& random, bool nonFinite) {
    switch (random() % (nonFinite ? 8 : 6)) {
        case 0:
            return std::uniform_real_distribution<float>(-10.0f, 10.0f)(random);
        case 1:
            return std::uniform_real_distribution<float>(-1e9f, 1e9f)(random);
        case 2:
            return static_cast<float>(static_cast<std::int32_t>(random() % 2001) - 1000);
        case 3:
            return std::uniform_real_distribution<float>(-1e-5f, 1e-5f)(random);
        case 4:
            return (random() % 2 ? 1.0f : -1.0f) * std::numeric_limits<float>::max();
        case 5:
            return random() % 2 ? 0.0f : -0.0f;
        case 6:
            return std::numeric_limits<float>::infinity();
        default:
            return std::numeric_limits<float>::quiet_NaN();
    }
}

inline Float3 Point(std::mt19937& random, bool nonFinite) {
    const float x = Coordinate(random, nonFinite);
    const float y = Coordinate(random, nonFinite);
    return {x, y, Coordinate(random, nonFinite)};
}

inline std::int32_t Index(std::mt19937& random) {
    switch (random() % 4) {
        case 0:
            return -1;
        case 1:
            return std::numeric_limits<std::int32_t>::max() - static_cast<std::int32_t>(random() % 3);
        default:
            return static_cast<std::int32_t>(random() % 100000);
    }
}

inline ExportPatch Patch(std::mt19937& random, bool oddSides) {
    ExportPatch patch;
    patch.sides = oddSides && random() % 5 == 0 ? static_cast<std::int32_t>(random() % 9) - 2
                                                : 3 + static_cast<std::int32_t>(random() % 2);
    for (std::int32_t& slot : patch.verts) slot = Index(random);
    for (std::int32_t& slot : patch.vecs) slot = Index(random);
    for (std::int32_t& slot : patch.interior) slot = Index(random);
    for (std::int32_t& slot : patch.adjacent) slot = Index(random);
    // Slots beyond the side count are not written, and read back as -1.
    const std::int32_t sides = patch.sides < 0 ? 0 : (patch.sides > 4 ? 4 : patch.sides);
    for (std::int32_t k = sides; k < 4; ++k) patch.verts[k] = patch.interior[k] = patch.adjacent[k] = -1;
    for (std::int32_t k = 2 * sides; k < 8; ++k) patch.vecs[k] = -1;
    return patch;
}

inline std::int32_t UpTo(std::mt19937& random, std::int32_t most) {
    return static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(most + 1));
}

inline void Fill(PatchIO& set, std::uint32_t seed, const Shape& shape = {}) {
    std::mt19937 random(seed);
    const std::int32_t objects = UpTo(random, shape.maxObjects);
    for (std::int32_t i = 0; i < objects; ++i) {
        ExportPatchObject object;
        for (std::int32_t n = UpTo(random, shape.maxPoints); n > 0; --n) object.AddVert(Point(random, shape.nonFinite));
        for (std::int32_t n = UpTo(random, shape.maxPoints); n > 0; --n) object.AddVec(Point(random, shape.nonFinite));
        for (std::int32_t n = UpTo(random, shape.maxPatches); n > 0; --n)
            object.AddPatch(Patch(random, shape.oddSides));
        set.AddPatchObject(std::move(object));
    }
    for (std::int32_t n = UpTo(random, shape.maxCameras); n > 0; --n) {
        ExportCamera camera;
        camera.position = Point(random, shape.nonFinite);
        camera.target = Point(random, shape.nonFinite);
        set.AddCamera(camera);
    }
}

}  // namespace randomsets
