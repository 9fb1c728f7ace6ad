#include "tools/patchtext/TokenLayout.h"

namespace patchtool {

TokenLayout::TokenLayout(const PatchIO& set, bool hasCameraSection) {
    std::int64_t at = 4;  // VERSION v PATCHOBJECTS n
    objects_.resize(static_cast<std::size_t>(set.NumPatchObjects()));
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        ObjectStart& start = objects_[static_cast<std::size_t>(i)];
        at += 2 + 2;  // PATCHOBJECT i NUMVERTS V
        start.verts = at;
        at += 4 * std::int64_t{object.NumVerts()} + 2;  // ... NUMVECS W
        start.vecs = at;
        at += 4 * std::int64_t{object.NumVecs()} + 2;  // ... NUMPATCHES P
        start.patches.reserve(static_cast<std::size_t>(object.NumPatches()));
        start.sides.reserve(static_cast<std::size_t>(object.NumPatches()));
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) {
            const int sides = object.PatchAt(k).sides;
            start.patches.push_back(at);
            start.sides.push_back(sides);
            at += 8 + 5 * sides;
        }
    }
    cameras_ = at + 2;  // NUMCAMERAS m
    total_ = hasCameraSection ? cameras_ + 8 * std::int64_t{set.NumCameras()} : at;
}

std::int64_t TokenLayout::Vertex(std::int32_t object, std::int32_t j) const {
    return objects_[static_cast<std::size_t>(object)].verts + 4 * std::int64_t{j};
}

std::int64_t TokenLayout::Vector(std::int32_t object, std::int32_t j) const {
    return objects_[static_cast<std::size_t>(object)].vecs + 4 * std::int64_t{j};
}

std::int64_t TokenLayout::Patch(std::int32_t object, std::int32_t k) const {
    return objects_[static_cast<std::size_t>(object)].patches[static_cast<std::size_t>(k)];
}

std::int64_t TokenLayout::Slot(std::int32_t object, std::int32_t k, PatchField field, int slot) const {
    const int sides = objects_[static_cast<std::size_t>(object)].sides[static_cast<std::size_t>(k)];
    // PATCH k SIDES s VERTS v... VECS v... INTERIOR v... ADJACENT v...
    std::int64_t offset = 5;
    switch (field) {
    case PatchField::Verts: break;
    case PatchField::Vecs: offset += sides + 1; break;
    case PatchField::Interior: offset += 3 * sides + 2; break;
    case PatchField::Adjacent: offset += 4 * sides + 3; break;
    }
    return Patch(object, k) + offset + slot;
}

std::int64_t TokenLayout::Camera(std::int32_t m) const { return cameras_ + 8 * std::int64_t{m}; }

}  // namespace patchtool
