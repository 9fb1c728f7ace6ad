#include "MeshObjects.h"

namespace meshobjects {
namespace {

Float3 Mix(std::initializer_list<std::pair<float, Float3>> terms) {
    Float3 out;
    for (const auto& [w, p] : terms) {
        out.x += w * p.x;
        out.y += w * p.y;
        out.z += w * p.z;
    }
    return out;
}

std::int32_t AddVec(ExportPatchObject& object, Float3 p) {
    object.AddVec(p);
    return object.NumVecs() - 1;
}

void AddPolygon(ExportPatchObject& object, const std::vector<Float3>& v) {
    const int n = static_cast<int>(v.size());
    auto at = [&](int i) { return v[static_cast<std::size_t>(i % n)]; };
    ExportPatch patch;
    patch.sides = n;
    for (int i = 0; i < n; ++i) {
        object.AddVert(at(i));
        patch.verts[i] = object.NumVerts() - 1;
    }
    for (int i = 0; i < n; ++i) {
        patch.vecs[2 * i] = AddVec(object, Mix({{2.0f / 3, at(i)}, {1.0f / 3, at(i + 1)}}));
        patch.vecs[2 * i + 1] = AddVec(object, Mix({{1.0f / 3, at(i)}, {2.0f / 3, at(i + 1)}}));
    }
    for (int i = 0; i < n; ++i) {
        const Float3 inner =
            n == 3 ? Mix({{4.0f / 6, at(i)}, {1.0f / 6, at(i + 1)}, {1.0f / 6, at(i + 2)}})
                   : Mix({{4.0f / 9, at(i)}, {2.0f / 9, at(i + 1)}, {1.0f / 9, at(i + 2)}, {2.0f / 9, at(i + 3)}});
        patch.interior[i] = AddVec(object, inner);
    }
    object.AddPatch(patch);
}

}  // namespace

void AddTriangle(ExportPatchObject& object, Float3 a, Float3 b, Float3 c) { AddPolygon(object, {a, b, c}); }

void AddQuad(ExportPatchObject& object, Float3 a, Float3 b, Float3 c, Float3 d) { AddPolygon(object, {a, b, c, d}); }

}  // namespace meshobjects
