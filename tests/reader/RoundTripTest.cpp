// Every export set that the writer writes reads back whole: random sets of
// quadrilaterals, triangles, empty objects and cameras, with coordinates of
// every magnitude.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "CommaLocale.h"
#include "TestFiles.h"
#include "patchio/PatchIO.h"

namespace {

using testfiles::TempDir;

class RandomSets {
public:
    explicit RandomSets(std::uint32_t seed) : rng_(seed) {}

    // Fills both sets alike, except that expected holds each coordinate as
    // the 32-bit float nearest to the decimals the writer prints for it.
    void Fill(PatchIO& written, PatchIO& expected) {
        const int objects = Pick(0, 4);
        for (int i = 0; i < objects; ++i) {
            ExportPatchObject original;
            ExportPatchObject printed;
            FillObject(original, printed);
            written.AddPatchObject(original);
            expected.AddPatchObject(printed);
        }
        const int cameras = Pick(0, 3);
        for (int k = 0; k < cameras; ++k) {
            ExportCamera camera;
            camera.position = Point();
            camera.target = Point();
            written.AddCamera(camera);
            expected.AddCamera({Printed(camera.position), Printed(camera.target)});
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

    float Coordinate() {
        switch (Pick(0, 6)) {
            case 0:
                return static_cast<float>(Pick(-100, 100));
            case 1:
                return std::uniform_real_distribution<float>(-1000.0f, 1000.0f)(rng_);
            case 2:
                return std::uniform_real_distribution<float>(-1e-5f, 1e-5f)(rng_);
            case 3:
                return std::uniform_real_distribution<float>(-1e12f, 1e12f)(rng_);
            case 4:
                return Pick(0, 1) ? -0.0f : 0.0f;
            case 5: {
                // Any finite float, the largest and the subnormal ones included.
                for (;;) {
                    const auto bits = static_cast<std::uint32_t>(rng_());
                    float value;
                    std::memcpy(&value, &bits, sizeof value);
                    if (std::isfinite(value)) return value;
                }
            }
            default:
                return static_cast<float>(Pick(-8000, 8000)) / 8.0f;
        }
    }
    Float3 Point() { return {Coordinate(), Coordinate(), Coordinate()}; }

    // The value that "%f" text of x stands for, read in the C locale.
    static float Printed(float x) {
        char text[64];
        std::snprintf(text, sizeof text, "%f", static_cast<double>(x));
        return static_cast<float>(std::strtod(text, nullptr));
    }
    static Float3 Printed(const Float3& p) { return {Printed(p.x), Printed(p.y), Printed(p.z)}; }

    std::int32_t Index() {
        switch (Pick(0, 5)) {
            case 0:
                return -1;
            case 1:
                return static_cast<std::int32_t>(rng_());
            default:
                return Pick(0, 40);
        }
    }

    // A triangle or quadrilateral; the slots beyond its sides stay -1 as
    // in every record that the reader builds.
    ExportPatch Patch() {
        ExportPatch patch;
        patch.sides = Pick(3, 4);
        for (int i = 0; i < patch.sides; ++i) {
            patch.verts[i] = Index();
            patch.interior[i] = Index();
            patch.adjacent[i] = Index();
        }
        for (int j = 0; j < 2 * patch.sides; ++j) patch.vecs[j] = Index();
        return patch;
    }

    void FillObject(ExportPatchObject& original, ExportPatchObject& printed) {
        if (Pick(0, 5) == 0) return;  // an empty object
        const int verts = Pick(0, 30);
        for (int j = 0; j < verts; ++j) {
            const Float3 p = Point();
            original.AddVert(p);
            printed.AddVert(Printed(p));
        }
        const int vecs = Pick(0, 40);
        for (int j = 0; j < vecs; ++j) {
            const Float3 p = Point();
            original.AddVec(p);
            printed.AddVec(Printed(p));
        }
        const int patches = Pick(0, 12);
        for (int k = 0; k < patches; ++k) {
            const ExportPatch patch = Patch();
            original.AddPatch(patch);
            printed.AddPatch(patch);
        }
    }

    std::mt19937 rng_;
};

void ExpectSameSets(const PatchIO& got, const PatchIO& expected, int round) {
    ASSERT_EQ(got.NumPatchObjects(), expected.NumPatchObjects()) << "round " << round;
    for (std::int32_t i = 0; i < got.NumPatchObjects(); ++i)
        ASSERT_EQ(got.PatchObjectAt(i), expected.PatchObjectAt(i)) << "round " << round << ", object " << i;
    ASSERT_EQ(got.NumCameras(), expected.NumCameras()) << "round " << round;
    for (std::int32_t k = 0; k < got.NumCameras(); ++k)
        ASSERT_EQ(got.CameraAt(k), expected.CameraAt(k)) << "round " << round << ", camera " << k;
}

// Writes random sets, reads each back over a set that held something else,
// and writes what was read again: the same bytes come out.
void RoundTrips(int rounds, std::uint32_t seed) {
    TempDir dir;
    const std::string first = dir.File("first.txt");
    const std::string second = dir.File("second.txt");
    RandomSets sets(seed);
    for (int round = 0; round < rounds; ++round) {
        PatchIO written;
        PatchIO expected;
        sets.Fill(written, expected);
        ASSERT_EQ(written.Write(first.c_str()), 1);

        PatchIO read;
        read.AddPatchObject(ExportPatchObject());
        read.AddCamera(ExportCamera());
        ASSERT_EQ(read.Read(first.c_str()), 1) << "round " << round;
        ExpectSameSets(read, expected, round);

        ASSERT_EQ(read.Write(second.c_str()), 1);
        ASSERT_EQ(testfiles::ReadBytes(second), testfiles::ReadBytes(first)) << "round " << round;
    }
}

TEST(RoundTrip, WrittenSetsReadBackWhole) { RoundTrips(400, 1234); }

TEST(RoundTrip, WrittenSetsReadBackWholeUnderACommaDecimalLocale) {
    testlocale::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << testlocale::kNoCommaLocale;
    RoundTrips(100, 5678);
}

}  // namespace
