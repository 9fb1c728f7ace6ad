// A glTF 2.0 scene of tessellated patch objects and cameras, written as a
// binary .glb or as a .gltf whose buffer is embedded as a base64 data URI.
//
// The scene has one root node that turns the file's +z-up space into
// glTF's +y-up space (-90 degrees about x); every object and camera node
// hangs below it without a transform of its own apart from a camera's
// look-at pose, so the buffers hold the file's own coordinates. An object
// with triangles gets a mesh of one indexed triangle primitive (POSITION and
// NORMAL as 32-bit floats, indices as 16-bit numbers where every vertex
// fits, else 32-bit); an object without any keeps its node, without a mesh,
// so that node k + 1 is always patch object k.
#pragma once

#include <cstdint>
#include <ostream>
#include <utility>
#include <string>
#include <vector>

#include "gltf/CameraPose.h"
#include "gltf/MeshAssembler.h"

namespace gltf {

enum class Container { kBinary, kEmbedded };

// The root node's rotation, x y z w: -90 degrees about x, so that the
// file's +z becomes +y and its -y (the front) becomes +z.
constexpr double kHalfSqrt2 = 0.70710678118654752440;
constexpr double kUpAxisRotation[4] = {-kHalfSqrt2, 0.0, 0.0, kHalfSqrt2};

// The largest .glb: its header states the length in 32 bits.
constexpr std::uint64_t kMaxBinaryBytes = 0xFFFFFFFFu;

struct CameraNode {
    std::string name;
    CameraPose pose;
};

class SceneWriter {
public:
    // generator names the program in the asset's description.
    explicit SceneWriter(std::string generator) : generator_(std::move(generator)) {}

    void AddObject(MeshData mesh) { objects_.push_back(std::move(mesh)); }
    void AddCamera(const std::string& name, const CameraPose& pose) { cameras_.push_back(CameraNode{name, pose}); }

    // Writes the scene. Answers false with why when it cannot be stated
    // (too large for its container); the stream's state tells of write
    // failures.
    bool Write(std::ostream& out, Container container, std::string* why) const;
    // The largest .glb that Write writes: kMaxBinaryBytes, or less for a
    // caller (or a test) that wants a smaller file.
    void LimitBinaryBytes(std::uint64_t bytes) { maxBinaryBytes_ = bytes < kMaxBinaryBytes ? bytes : kMaxBinaryBytes; }

private:
    std::string generator_;
    std::vector<MeshData> objects_;
    std::vector<CameraNode> cameras_;
    std::uint64_t maxBinaryBytes_ = kMaxBinaryBytes;
};

// ".glb" or ".gltf" at the end of path, in any case: the container its
// name asks for. Answers false for any other name.
bool ContainerForPath(const std::string& path, Container& container);

}  // namespace gltf
