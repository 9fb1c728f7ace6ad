// Where each item of a successfully read patch text file stands in its
// token stream. The reader accepts exactly one token sequence for given
// contents, so the ordinal of every token (counted from 0) follows from the
// counts alone: VERSION v PATCHOBJECTS n, then per object "PATCHOBJECT i",
// "NUMVERTS V" and four tokens per vertex, "NUMVECS W" and four per vector,
// "NUMPATCHES P" and 8 + 5 * sides per patch, then "NUMCAMERAS m" and eight
// tokens per camera (only for versions above 1.0).
#pragma once

#include <cstdint>
#include <vector>

#include "patchio/PatchIO.h"

namespace patchtool {

enum class PatchField { Verts, Vecs, Interior, Adjacent };

class TokenLayout {
public:
    TokenLayout(const PatchIO& set, bool hasCameraSection);

    static constexpr std::int64_t VersionValue() { return 1; }
    // The index token of vertex or vector j of object i; the coordinates
    // follow it.
    std::int64_t Vertex(std::int32_t object, std::int32_t j) const;
    std::int64_t Vector(std::int32_t object, std::int32_t j) const;
    // The PATCH keyword of patch k of object i, and one value in a field.
    std::int64_t Patch(std::int32_t object, std::int32_t k) const;
    std::int64_t Slot(std::int32_t object, std::int32_t k, PatchField field, int slot) const;
    // The CAMERA keyword of camera m; its six coordinates start 2 later.
    std::int64_t Camera(std::int32_t m) const;
    // How many tokens the reader takes from the file.
    std::int64_t Total() const { return total_; }

private:
    struct ObjectStart {
        std::int64_t verts = 0;    // the first vertex's index token
        std::int64_t vecs = 0;
        std::vector<std::int64_t> patches;  // each PATCH keyword
        std::vector<int> sides;
    };
    std::vector<ObjectStart> objects_;
    std::int64_t cameras_ = 0;
    std::int64_t total_ = 0;
};

}  // namespace patchtool
