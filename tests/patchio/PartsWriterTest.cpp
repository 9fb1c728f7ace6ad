// ExportSetParts writes objects held elsewhere exactly as a PatchIO holding
// copies of them writes, and stops (keeping the old file) when asked to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "patchio/PatchIO.h"

namespace {

ExportPatchObject Object(int points) {
    ExportPatchObject object;
    for (int i = 0; i < points; ++i) {
        object.AddVert({static_cast<float>(i), 0.5f, -2.0f});
        object.AddVec({0.25f, static_cast<float>(-i), 1e6f});
    }
    ExportPatch patch;
    patch.sides = 3;
    object.AddPatch(patch);
    return object;
}

struct Sets {
    std::vector<ExportPatchObject> objects{Object(0), Object(3), Object(40)};
    PatchIO copied;
    ExportSetParts parts;

    Sets() {
        ExportCamera camera;
        camera.target = {1, 2, 3};
        for (const ExportPatchObject& o : objects) {
            copied.AddPatchObject(o);
            parts.patchObjects.push_back(&o);
        }
        copied.AddCamera(camera);
        parts.cameras.push_back(camera);
    }
};

TEST(PartsWriter, WritesTheBytesOfTheSameSet) {
    Sets sets;
    std::string expected;
    sets.copied.WriteText(expected);
    std::string text;
    EXPECT_EQ(sets.parts.WriteText(text), 1);
    EXPECT_EQ(text, expected);

    testfiles::TempDir dir;
    ASSERT_EQ(sets.parts.Write(dir.File("parts.txt").c_str()), 1);
    ASSERT_EQ(sets.copied.Write(dir.File("copied.txt").c_str()), 1);
    EXPECT_EQ(testfiles::ReadBytes(dir.File("parts.txt")), testfiles::ReadBytes(dir.File("copied.txt")));
}

TEST(PartsWriter, StopsWhenToldAndKeepsTheOldFile) {
    for (int allowed = 0; allowed < 4; ++allowed) {
        Sets sets;
        int asked = 0;
        sets.parts.keepGoing = [&] { return asked++ < allowed; };
        testfiles::TempDir dir;
        const std::string path = dir.File("kept.txt");
        testfiles::WriteBytes(path, "old");
        EXPECT_EQ(sets.parts.Write(path.c_str()), 0) << allowed;
        EXPECT_EQ(testfiles::ReadBytes(path), "old") << allowed;
        std::string text;
        asked = 0;
        EXPECT_EQ(sets.parts.WriteText(text), 0) << allowed;
    }
}

}  // namespace
