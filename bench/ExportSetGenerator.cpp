#include "ExportSetGenerator.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "patchio/NumberText.h"

namespace benchgen {

std::uint64_t Random::Next() {
    // splitmix64: tiny, fast and identical everywhere.
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

double Random::Uniform(double low, double high) {
    const double unit = static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
    return low + (high - low) * unit;
}

double Random::LogUniform(double low, double high) { return std::exp(Uniform(std::log(low), std::log(high))); }

std::int32_t Random::Between(std::int32_t low, std::int32_t high) {
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
    return static_cast<std::int32_t>(low + static_cast<std::int64_t>(Next() % span));
}

bool Random::Chance(double p) { return Uniform(0.0, 1.0) < p; }

namespace {

constexpr double kPi = 3.14159265358979323846;

Float3 Lerp(const Float3& a, const Float3& b, float t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

// Builds one grid mesh; kept in a class so that the lazily made edge
// vectors and the edge neighbours stay in one place.
class GridBuilder {
public:
    GridBuilder(const GridShape& shape, Random& random) : shape_(shape) {
        angle_ = random.Uniform(0.0, 2.0 * kPi);
        waveU_ = random.Uniform(0.2, 3.0);
        waveV_ = random.Uniform(0.2, 3.0);
        height_ = random.Uniform(0.0, 0.25) * shape.size;
        const std::size_t cells = static_cast<std::size_t>(shape.cols) * static_cast<std::size_t>(shape.rows);
        mesh_.verts.reserve(static_cast<std::size_t>(shape.cols + 1) * static_cast<std::size_t>(shape.rows + 1));
        mesh_.edges.resize(static_cast<std::size_t>(DiagonalEdge(0, shape.rows)));
        edgeVecs_.assign(mesh_.edges.size(), -1);
        mesh_.patches.reserve(cells * 2);
    }

    MemoryPatchMesh Build(Random& random) {
        for (std::int32_t j = 0; j <= shape_.rows; ++j)
            for (std::int32_t i = 0; i <= shape_.cols; ++i) mesh_.verts.push_back(Surface(i, j));
        for (std::int32_t j = 0; j < shape_.rows; ++j)
            for (std::int32_t i = 0; i < shape_.cols; ++i) AddCell(i, j, random.Chance(shape_.triangleShare));
        // Held at their exact size, as a host holds its patch data.
        mesh_.vecs.shrink_to_fit();
        mesh_.patches.shrink_to_fit();
        return std::move(mesh_);
    }

private:
    Float3 Surface(std::int32_t i, std::int32_t j) const {
        const double u = static_cast<double>(i) / shape_.cols;
        const double v = static_cast<double>(j) / shape_.rows;
        const double s = shape_.size;
        const double x = s * (u * std::cos(angle_) - v * std::sin(angle_));
        const double y = s * (u * std::sin(angle_) + v * std::cos(angle_));
        const double z = height_ * std::sin(2.0 * kPi * waveU_ * u) * std::cos(2.0 * kPi * waveV_ * v);
        return {shape_.origin.x + static_cast<float>(x), shape_.origin.y + static_cast<float>(y),
                shape_.origin.z + static_cast<float>(z)};
    }

    std::int32_t Vertex(std::int32_t i, std::int32_t j) const { return j * (shape_.cols + 1) + i; }
    // Edges: horizontal ones first, then vertical ones, then cell diagonals.
    std::int32_t HorizontalEdge(std::int32_t i, std::int32_t j) const { return j * shape_.cols + i; }
    std::int32_t VerticalEdge(std::int32_t i, std::int32_t j) const {
        return shape_.cols * (shape_.rows + 1) + j * (shape_.cols + 1) + i;
    }
    std::int32_t DiagonalEdge(std::int32_t i, std::int32_t j) const {
        return shape_.cols * (shape_.rows + 1) + (shape_.cols + 1) * shape_.rows + j * shape_.cols + i;
    }

    std::int32_t AddVec(const Float3& point) {
        mesh_.vecs.push_back(point);
        return static_cast<std::int32_t>(mesh_.vecs.size() - 1);
    }

    // One side of a patch from vertex a to b along edge e, whose own
    // direction runs from its lower vertex to its higher one. The edge's two
    // vectors are made the first time a patch uses it.
    void Side(HostPatch& patch, int side, std::int32_t a, std::int32_t b, std::int32_t e, std::int32_t self) {
        const std::int32_t low = std::min(a, b);
        const std::int32_t high = std::max(a, b);
        auto& first = edgeVecs_[static_cast<std::size_t>(e)];
        if (first < 0) {
            const Float3 p = mesh_.verts[static_cast<std::size_t>(low)];
            const Float3 q = mesh_.verts[static_cast<std::size_t>(high)];
            first = AddVec(Lerp(p, q, 1.0f / 3.0f));
            AddVec(Lerp(p, q, 2.0f / 3.0f));
        }
        const bool forward = a == low;
        patch.vertIndex[side] = a;
        patch.vecIndex[2 * side] = forward ? first : first + 1;
        patch.vecIndex[2 * side + 1] = forward ? first + 1 : first;
        patch.edgeIndex[side] = e;
        HostPatchEdge& edge = mesh_.edges[static_cast<std::size_t>(e)];
        (edge.firstPatch < 0 ? edge.firstPatch : edge.secondPatch) = self;
    }

    // Interior vectors: a third of the way from each corner to the middle,
    // lifted a little off the surface.
    void Interior(HostPatch& patch) {
        Float3 middle;
        for (int k = 0; k < patch.type; ++k) {
            const Float3 c = mesh_.verts[static_cast<std::size_t>(patch.vertIndex[k])];
            middle = {middle.x + c.x / static_cast<float>(patch.type), middle.y + c.y / static_cast<float>(patch.type),
                      middle.z + c.z / static_cast<float>(patch.type)};
        }
        const float lift = static_cast<float>(shape_.size / (4.0 * shape_.cols));
        for (int k = 0; k < patch.type; ++k) {
            Float3 p = Lerp(mesh_.verts[static_cast<std::size_t>(patch.vertIndex[k])], middle, 1.0f / 3.0f);
            p.z += lift;
            patch.interiorIndex[k] = AddVec(p);
        }
    }

    struct Corner {
        std::int32_t vertex;
        std::int32_t edgeToNext;
    };
    void AddPatch(const Corner* corners, int sides) {
        const auto self = static_cast<std::int32_t>(mesh_.patches.size());
        HostPatch patch;
        patch.type = sides;
        for (int k = 0; k < sides; ++k)
            Side(patch, k, corners[k].vertex, corners[(k + 1) % sides].vertex, corners[k].edgeToNext, self);
        Interior(patch);
        mesh_.patches.push_back(patch);
    }

    // A cell counter-clockwise from its lower left corner; split into two
    // triangles along the diagonal from lower left to upper right.
    void AddCell(std::int32_t i, std::int32_t j, bool split) {
        const std::int32_t v00 = Vertex(i, j), v10 = Vertex(i + 1, j), v11 = Vertex(i + 1, j + 1),
                           v01 = Vertex(i, j + 1);
        const std::int32_t bottom = HorizontalEdge(i, j), top = HorizontalEdge(i, j + 1);
        const std::int32_t left = VerticalEdge(i, j), right = VerticalEdge(i + 1, j);
        if (!split) {
            const Corner quad[4] = {{v00, bottom}, {v10, right}, {v11, top}, {v01, left}};
            AddPatch(quad, 4);
            return;
        }
        const std::int32_t diagonal = DiagonalEdge(i, j);
        const Corner lower[3] = {{v00, bottom}, {v10, right}, {v11, diagonal}};
        const Corner upper[3] = {{v00, diagonal}, {v11, top}, {v01, left}};
        AddPatch(lower, 3);
        AddPatch(upper, 3);
    }

    GridShape shape_;
    double angle_ = 0.0;
    double waveU_ = 1.0;
    double waveV_ = 1.0;
    double height_ = 0.0;
    MemoryPatchMesh mesh_;
    std::vector<std::int32_t> edgeVecs_;
};

std::size_t IntBytes(std::int32_t value) {
    char text[numtext::kIntChars];
    return static_cast<std::size_t>(numtext::FormatInt(text, value) - text);
}

std::size_t FloatBytes(float value) {
    char text[numtext::kFloatChars];
    return static_cast<std::size_t>(numtext::FormatFloat(text, value) - text);
}

std::size_t PointLineBytes(std::int32_t number, const Float3& p) {
    return 6 + IntBytes(number) + FloatBytes(p.x) + FloatBytes(p.y) + FloatBytes(p.z);
}

// Index lines of a patch: the fixed text of forms 9 to 14, the values and
// their spaces.
std::size_t PatchBytes(std::int32_t number, const ExportPatch& patch) {
    std::size_t bytes = 9 + IntBytes(number) + 11 + 1 + 10 + 9 + 13 + 13;
    const auto values = [&bytes](const std::int32_t* slots, std::int32_t count) {
        for (std::int32_t k = 0; k < count; ++k) bytes += IntBytes(slots[k]) + 1;
    };
    values(patch.verts, patch.sides);
    values(patch.vecs, 2 * patch.sides);
    values(patch.interior, patch.sides);
    values(patch.adjacent, patch.sides);
    return bytes;
}

GridShape RandomShape(Random& random, std::size_t remainingBytes) {
    // A patch costs about 600 bytes of text with its share of points.
    const auto maxCells = std::max<std::int64_t>(1, static_cast<std::int64_t>(remainingBytes / 600));
    GridShape shape;
    shape.cols = static_cast<std::int32_t>(std::lround(random.LogUniform(2.0, 300.0)));
    shape.rows = static_cast<std::int32_t>(std::lround(random.LogUniform(2.0, 300.0)));
    shape.cols = static_cast<std::int32_t>(std::min<std::int64_t>(shape.cols, maxCells));
    const std::int64_t rowsThatFit = std::max<std::int64_t>(1, maxCells / shape.cols);
    shape.rows = static_cast<std::int32_t>(std::min<std::int64_t>(shape.rows, rowsThatFit));
    const double shares[] = {0.0, 0.0, 0.2, 0.5, 1.0};
    shape.triangleShare = shares[random.Next() % 5];
    shape.size = random.LogUniform(0.5, 4000.0);
    const double reach = random.Chance(0.3) ? 0.0 : 6000.0;
    const auto coordinate = [&random](double limit) { return static_cast<float>(random.Uniform(-limit, limit)); };
    shape.origin = {coordinate(reach), coordinate(reach), coordinate(reach / 10)};
    return shape;
}

ExportCamera RandomCamera(Random& random) {
    ExportCamera camera;
    const auto coordinate = [&random](double reach) { return static_cast<float>(random.Uniform(-reach, reach)); };
    camera.position = {coordinate(8000.0), coordinate(8000.0), coordinate(3000.0)};
    camera.target = {coordinate(2000.0), coordinate(2000.0), coordinate(500.0)};
    return camera;
}

}  // namespace

MemoryPatchMesh GridPatchMesh(const GridShape& shape, Random& random) {
    GridBuilder builder(shape, random);
    return builder.Build(random);
}

std::size_t EstimateTextBytes(const ExportPatchObject& object) {
    std::size_t bytes = 64;  // forms 3, 4, 6 and 8
    for (std::int32_t j = 0; j < object.NumVerts(); ++j) bytes += PointLineBytes(j, object.VertAt(j));
    for (std::int32_t j = 0; j < object.NumVecs(); ++j) bytes += PointLineBytes(j, object.VecAt(j));
    for (std::int32_t j = 0; j < object.NumPatches(); ++j) bytes += PatchBytes(j, object.PatchAt(j));
    return bytes;
}

void GenerateMeshes(std::size_t targetBytes, std::uint64_t seed, const std::function<void(MemoryPatchMesh&&)>& take,
                    Coordinates coordinates) {
    Random random(seed);
    Random scatter(seed ^ 0x5ca77e7ull);
    const auto anywhere = [&scatter] { return static_cast<float>(scatter.Uniform(-kUniformReach, kUniformReach)); };
    std::size_t bytes = 40 + 64 * kCameraCount;
    while (bytes < targetBytes) {
        MemoryPatchMesh mesh = GridPatchMesh(RandomShape(random, targetBytes - bytes), random);
        if (coordinates == Coordinates::Uniform) {
            for (Float3& p : mesh.verts) p = {anywhere(), anywhere(), anywhere()};
            for (Float3& p : mesh.vecs) p = {anywhere(), anywhere(), anywhere()};
        }
        bytes += EstimateTextBytes(ExportPatchObject(mesh));
        take(std::move(mesh));
    }
}

std::vector<ExportCamera> GenerateCameras(std::uint64_t seed) {
    Random random(seed ^ 0xca3e7a5ull);
    std::vector<ExportCamera> cameras;
    for (int k = 0; k < kCameraCount; ++k) cameras.push_back(RandomCamera(random));
    return cameras;
}

void FillExportSet(PatchIO& set, std::size_t targetBytes, std::uint64_t seed, Coordinates coordinates) {
    GenerateMeshes(
        targetBytes, seed, [&set](MemoryPatchMesh&& mesh) { set.AddPatchObject(ExportPatchObject(mesh)); },
        coordinates);
    for (const ExportCamera& camera : GenerateCameras(seed)) set.AddCamera(camera);
}

}  // namespace benchgen
