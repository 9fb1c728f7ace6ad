// Generated export sets for the benchmarks: patch objects shaped like real
// modelling work (grids of quadrilateral and triangular patches over bent
// surfaces, with shared vertices, edge vectors, interior vectors and edge
// neighbours), in the coordinate ranges of real scenes, plus cameras.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

namespace benchgen {

// A small deterministic random source, the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Uniform(double low, double high);                    // [low, high)
    double LogUniform(double low, double high);                 // spread over magnitudes
    std::int32_t Between(std::int32_t low, std::int32_t high);  // [low, high]
    bool Chance(double p);

private:
    std::uint64_t state_;
};

// A grid of cols x rows cells over a bent surface of the given size, placed
// at origin. Each cell is a quadrilateral patch, or two triangular patches
// with the chance triangleShare. Every edge carries two vectors and every
// patch one interior vector per corner.
struct GridShape {
    std::int32_t cols = 1;
    std::int32_t rows = 1;
    double triangleShare = 0.0;
    double size = 100.0;
    Float3 origin;
};
MemoryPatchMesh GridPatchMesh(const GridShape& shape, Random& random);

// Where the points of generated meshes lie: on the bent grids themselves
// (coordinates of real scenes, many of them short), or uniformly anywhere
// in +-1000 on every axis (the longest coordinates of that range, and no
// pattern a number parser could profit from).
enum class Coordinates { Shaped, Uniform };
constexpr double kUniformReach = 1000.0;

// Hands take the patch meshes of about targetBytes of patch text, one by
// one: grids of varying size and mix. The same seed gives the same meshes.
void GenerateMeshes(std::size_t targetBytes, std::uint64_t seed, const std::function<void(MemoryPatchMesh&&)>& take,
                    Coordinates coordinates = Coordinates::Shaped);

// The cameras of a generated set: positions and targets.
constexpr int kCameraCount = 24;
std::vector<ExportCamera> GenerateCameras(std::uint64_t seed);

// An export set of about targetBytes of patch text: patch objects of
// varying size and mix, and a few dozen cameras. The same seed gives the
// same set.
void FillExportSet(PatchIO& set, std::size_t targetBytes, std::uint64_t seed = 1,
                   Coordinates coordinates = Coordinates::Shaped);

// A rough size of an object's patch text, for sizing generated sets.
std::size_t EstimateTextBytes(const ExportPatchObject& object);

}  // namespace benchgen
