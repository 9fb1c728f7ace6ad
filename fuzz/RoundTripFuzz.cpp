// An export set decoded from the fuzz bytes is written, read back and
// compared: the same objects, lists, patches and cameras, indices equal,
// and every coordinate the 32-bit float nearest to its six-decimal text.
// Coordinates come from raw bit patterns, so infinities, NaNs, subnormals
// and the extremes of the float range all occur.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "patchio/PatchIO.h"

namespace {

// Small lists reach every line form while keeping each run quick.
constexpr int kMaxObjects = 4;
constexpr int kMaxPoints = 12;
constexpr int kMaxPatches = 6;
constexpr int kMaxCameras = 4;

float TakeFloat(FuzzedDataProvider& in) {
    const std::uint32_t bits = in.ConsumeIntegral<std::uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Float3 TakePoint(FuzzedDataProvider& in) {
    const float x = TakeFloat(in);
    const float y = TakeFloat(in);
    return {x, y, TakeFloat(in)};
}

// Slots beyond the side count hold -1, as the reader leaves them.
ExportPatch TakePatch(FuzzedDataProvider& in) {
    ExportPatch patch;
    patch.sides = in.ConsumeBool() ? 3 : 4;
    for (std::int32_t i = 0; i < patch.sides; ++i) {
        patch.verts[i] = in.ConsumeIntegral<std::int32_t>();
        patch.vecs[2 * i] = in.ConsumeIntegral<std::int32_t>();
        patch.vecs[2 * i + 1] = in.ConsumeIntegral<std::int32_t>();
        patch.interior[i] = in.ConsumeIntegral<std::int32_t>();
        patch.adjacent[i] = in.ConsumeIntegral<std::int32_t>();
    }
    return patch;
}

ExportPatchObject TakeObject(FuzzedDataProvider& in) {
    ExportPatchObject object;
    for (int n = in.ConsumeIntegralInRange(0, kMaxPoints); n > 0; --n) object.AddVert(TakePoint(in));
    for (int n = in.ConsumeIntegralInRange(0, kMaxPoints); n > 0; --n) object.AddVec(TakePoint(in));
    for (int n = in.ConsumeIntegralInRange(0, kMaxPatches); n > 0; --n) object.AddPatch(TakePatch(in));
    return object;
}

// What the reader must give for a coordinate: the float nearest to the
// writer's "%f" text of it.
float Expected(float written) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(written));
    return std::strtof(text, nullptr);
}

bool SameFloat(float a, float b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

bool SamePoint(const Float3& read, const Float3& written) {
    return SameFloat(read.x, Expected(written.x)) && SameFloat(read.y, Expected(written.y)) &&
           SameFloat(read.z, Expected(written.z));
}

void CompareObject(const ExportPatchObject& read, const ExportPatchObject& written) {
    fuzz::Check(read.NumVerts() == written.NumVerts(), "vertex count");
    fuzz::Check(read.NumVecs() == written.NumVecs(), "vector count");
    fuzz::Check(read.NumPatches() == written.NumPatches(), "patch count");
    for (std::int32_t i = 0; i < read.NumVerts(); ++i)
        fuzz::Check(SamePoint(read.VertAt(i), written.VertAt(i)), "vertex value");
    for (std::int32_t i = 0; i < read.NumVecs(); ++i)
        fuzz::Check(SamePoint(read.VecAt(i), written.VecAt(i)), "vector value");
    for (std::int32_t i = 0; i < read.NumPatches(); ++i)
        fuzz::Check(read.PatchAt(i) == written.PatchAt(i), "patch record");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    PatchIO written;
    for (int n = in.ConsumeIntegralInRange(0, kMaxObjects); n > 0; --n) written.AddPatchObject(TakeObject(in));
    for (int n = in.ConsumeIntegralInRange(0, kMaxCameras); n > 0; --n) {
        ExportCamera camera;
        camera.position = TakePoint(in);
        camera.target = TakePoint(in);
        written.AddCamera(camera);
    }

    const std::string text = fuzz::WrittenText(written);
    PatchIO read;
    fuzz::Check(read.ReadText(text.data(), text.size()) == 1, "the written text reads back");
    fuzz::Check(read.NumPatchObjects() == written.NumPatchObjects(), "patch object count");
    fuzz::Check(read.NumCameras() == written.NumCameras(), "camera count");
    for (std::int32_t i = 0; i < read.NumPatchObjects(); ++i)
        CompareObject(read.PatchObjectAt(i), written.PatchObjectAt(i));
    for (std::int32_t i = 0; i < read.NumCameras(); ++i) {
        fuzz::Check(SamePoint(read.CameraAt(i).position, written.CameraAt(i).position), "camera position");
        fuzz::Check(SamePoint(read.CameraAt(i).target, written.CameraAt(i).target), "camera target");
    }
    return 0;
}
