#include "TriangleMesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "BenchSupport.h"
#include "loaders/SceneFiles.h"

namespace benchgen {

namespace {

// A grid twice as wide as it is high, two triangles per cell.
struct Grid {
    std::int64_t rows;
    std::int64_t cols;
};

Grid GridFor(std::int64_t triangles) {
    const auto rows = std::max<std::int64_t>(1, std::llround(std::sqrt(static_cast<double>(triangles) / 4.0)));
    return {rows, std::max<std::int64_t>(1, triangles / (2 * rows))};
}

}  // namespace

std::string TriangleMeshText(std::int64_t triangles) {
    const Grid grid = GridFor(triangles);
    const std::int64_t rows = grid.rows;
    const std::int64_t cols = grid.cols;
    std::string text;
    text.reserve(static_cast<std::size_t>((cols + 1) * (rows + 1) * 36 + cols * rows * 2 * 28));
    char line[160];
    for (std::int64_t j = 0; j <= rows; ++j) {
        for (std::int64_t i = 0; i <= cols; ++i) {
            const double u = static_cast<double>(i) / static_cast<double>(cols);
            const double v = static_cast<double>(j) / static_cast<double>(rows);
            const double z = 35.0 * std::sin(9.0 * u) * std::cos(7.0 * v);
            std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", -1200.0 + 2400.0 * u, -600.0 + 1200.0 * v, z);
            text += line;
        }
    }
    const auto vertex = [cols](std::int64_t i, std::int64_t j) { return j * (cols + 1) + i + 1; };
    for (std::int64_t j = 0; j < rows; ++j) {
        for (std::int64_t i = 0; i < cols; ++i) {
            const long long a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i + 1, j + 1), d = vertex(i, j + 1);
            std::snprintf(line, sizeof line, "f %lld %lld %lld\nf %lld %lld %lld\n", a, b, c, a, c, d);
            text += line;
        }
    }
    return text;
}

std::int64_t ExportTriangles() {
    constexpr std::int64_t kTriangles = 1000000;
    const double scale = bench::SetMegabytes() / 40.0;
    const std::int64_t wanted = scale >= 1.0 ? kTriangles : std::max<std::int64_t>(2, std::llround(kTriangles * scale));
    const Grid grid = GridFor(wanted);
    return 2 * grid.rows * grid.cols;
}

std::unique_ptr<MemoryObject> LoadTriangleMesh(std::int64_t triangles, std::string& error) {
    ObjectLoad load = LoadPolygonMeshText(TriangleMeshText(triangles), "triangles.obj");
    error = load.error;
    return std::move(load.object);
}

std::size_t ConvertedBytes(MemoryObject& object) {
    HostObject* converted = object.Become(0, PatchObjectType);
    if (!converted) return 0;
    const auto* mesh = dynamic_cast<const MemoryPatchMesh*>(converted->PatchData());
    const std::size_t bytes = mesh ? mesh->MemoryBytes() : 0;
    if (converted != &object) converted->DeleteMe();
    return bytes;
}

}  // namespace benchgen
