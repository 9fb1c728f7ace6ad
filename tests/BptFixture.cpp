#include "BptFixture.h"

#include <cmath>
#include <fstream>
#include <map>
#include <stdexcept>

namespace bpt {
namespace {

using surface::Vec3;

Vec3 Casteljau(std::array<Vec3, 4> p, double t) {
    for (std::size_t level = 3; level > 0; --level)
        for (std::size_t i = 0; i < level; ++i) p[i] = (1.0 - t) * p[i] + t * p[i + 1];
    return p[0];
}

class Merger {
public:
    explicit Merger(ExportPatchObject& object, bool vectors) : object_(object), vectors_(vectors) {}
    std::int32_t Add(const Float3& p) {
        const std::array<float, 3> key{p.x, p.y, p.z};
        const auto found = index_.find(key);
        if (found != index_.end()) return found->second;
        const std::int32_t id = static_cast<std::int32_t>(index_.size());
        index_.emplace(key, id);
        if (vectors_)
            object_.AddVec(p);
        else
            object_.AddVert(p);
        return id;
    }

private:
    ExportPatchObject& object_;
    bool vectors_;
    std::map<std::array<float, 3>, std::int32_t> index_;
};

constexpr std::size_t kCorner[4] = {0, 3, 15, 12};
constexpr std::size_t kHandle[8] = {1, 2, 7, 11, 14, 13, 8, 4};
constexpr std::size_t kInterior[4] = {5, 6, 10, 9};

}  // namespace

std::vector<ControlGrid> ReadFile(const std::string& path) {
    std::ifstream in(path);
    int count = 0;
    if (!(in >> count)) throw std::runtime_error("cannot read " + path);
    std::vector<ControlGrid> grids(static_cast<std::size_t>(count));
    for (auto& grid : grids) {
        int du = 0, dv = 0;
        in >> du >> dv;
        for (auto& p : grid) in >> p.x >> p.y >> p.z;
    }
    if (!in) throw std::runtime_error("short file " + path);
    return grids;
}

ExportPatchObject ToExportObject(const std::vector<ControlGrid>& grids) {
    ExportPatchObject object;
    Merger verts(object, false), vecs(object, true);
    std::vector<ExportPatch> patches(grids.size());
    std::map<std::array<std::int32_t, 4>, std::pair<std::int32_t, int>> edgeOwner;
    for (std::size_t k = 0; k < grids.size(); ++k) {
        ExportPatch& patch = patches[k];
        for (int i = 0; i < 4; ++i) patch.verts[i] = verts.Add(grids[k][kCorner[i]]);
        for (int i = 0; i < 8; ++i) patch.vecs[i] = vecs.Add(grids[k][kHandle[i]]);
        for (int i = 0; i < 4; ++i) patch.interior[i] = vecs.Add(grids[k][kInterior[i]]);
        for (int e = 0; e < 4; ++e) {
            std::int32_t a = patch.verts[e], b = patch.verts[(e + 1) % 4];
            std::int32_t ha = patch.vecs[2 * e], hb = patch.vecs[2 * e + 1];
            if (a == b) continue;  // a pole: no neighbour
            if (b < a) {
                std::swap(a, b);
                std::swap(ha, hb);
            }
            const auto [it, fresh] = edgeOwner.emplace(std::array<std::int32_t, 4>{a, b, ha, hb},
                                                       std::make_pair(static_cast<std::int32_t>(k), e));
            if (fresh) continue;
            const auto [other, otherEdge] = it->second;
            patch.adjacent[e] = other;
            patches[static_cast<std::size_t>(other)].adjacent[otherEdge] = static_cast<std::int32_t>(k);
        }
    }
    for (const auto& patch : patches) object.AddPatch(patch);
    return object;
}

std::vector<ControlGrid> Sheet(int n) {
    auto height = [](int i, int j) { return static_cast<float>(0.3 * std::sin(0.37 * i) * std::cos(0.23 * j)); };
    std::vector<ControlGrid> grids;
    for (int pi = 0; pi < n; ++pi)
        for (int pj = 0; pj < n; ++pj) {
            ControlGrid g;
            const bool flip = (pi + pj) % 2 == 1;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) {
                    const int i = 3 * pi + r, j = 3 * pj + (flip ? 3 - c : c);
                    g[static_cast<std::size_t>(4 * r + c)] = {static_cast<float>(j) / 3, static_cast<float>(i) / 3,
                                                              height(i, j)};
                }
            grids.push_back(g);
        }
    return grids;
}

Vec3 Evaluate(const ControlGrid& grid, double s, double t) {
    std::array<Vec3, 4> column;
    for (std::size_t r = 0; r < 4; ++r) {
        column[r] = Casteljau({Vec3::From(grid[4 * r]), Vec3::From(grid[4 * r + 1]), Vec3::From(grid[4 * r + 2]),
                               Vec3::From(grid[4 * r + 3])},
                              s);
    }
    return Casteljau(column, t);
}

}  // namespace bpt
