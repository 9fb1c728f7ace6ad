// The patchtext tool's commands on files whose patch indices lie far
// outside their lists (the reader stores them as read): every command
// finishes with a clear answer, reads nothing outside the lists (the
// sanitizer build checks every access), and says which patches it left out.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "FaultSupport.h"
#include "PatchTextSamples.h"
#include "tools/patchtext/Commands.h"

namespace {

using faults::Replaced;

struct BadIndices {
    std::string name;
    std::string from;
    std::string to;
    bool surfaceLost;  // a corner or vector is missing: the patch has no surface
};

class ToolIndices : public ::testing::TestWithParam<BadIndices> {
protected:
    void SetUp() override {
        const BadIndices bad = GetParam();
        const std::string text = Replaced(faults::TriangleFile(), bad.from, bad.to);
        ASSERT_NE(text, faults::TriangleFile());
        faults::WriteBytes(file, text);
    }

    faults::Scratch scratch;
    const std::string file = scratch.File("bad.txt");
    std::ostringstream out;
    std::ostringstream err;
    patchtool::Console console{out, err, false};
};

TEST_P(ToolIndices, CheckWarnsAndStrictCheckFails) {
    patchtool::CheckCommand plain{{file}, false};
    EXPECT_EQ(patchtool::RunCheck(plain, console), patchtool::kExitOk) << err.str();
    patchtool::CheckCommand strict{{file}, true};
    EXPECT_EQ(patchtool::RunCheck(strict, console), patchtool::kExitBadFile);
    EXPECT_NE(err.str().find("outside"), std::string::npos) << err.str();
}

TEST_P(ToolIndices, InfoDescribesTheFile) {
    patchtool::InfoCommand info{file, false};
    EXPECT_EQ(patchtool::RunInfo(info, console), patchtool::kExitOk) << err.str();
    patchtool::InfoCommand json{file, true};
    EXPECT_EQ(patchtool::RunInfo(json, console), patchtool::kExitOk) << err.str();
    EXPECT_FALSE(out.str().empty());
}

TEST_P(ToolIndices, ToObjLeavesOutOnlyPatchesWithoutSurface) {
    patchtool::ObjCommand command;
    command.file = file;
    command.output = scratch.File("out.obj");
    EXPECT_EQ(patchtool::RunToObj(command, console), patchtool::kExitOk) << err.str();
    EXPECT_EQ(err.str().find("outside") != std::string::npos, GetParam().surfaceLost) << err.str();
    EXPECT_NE(faults::ReadBytes(command.output).find("patchobject_0"), std::string::npos);
}

TEST_P(ToolIndices, RenderLeavesOutOnlyPatchesWithoutSurface) {
    patchtool::RenderCommand command;
    command.file = file;
    command.output = scratch.File("out.png");
    command.size = "32x24";
    EXPECT_EQ(patchtool::RunRender(command, console), patchtool::kExitOk) << err.str();
    EXPECT_EQ(err.str().find("left out") != std::string::npos, GetParam().surfaceLost) << err.str();
    EXPECT_FALSE(faults::ReadBytes(command.output).empty());
}

INSTANTIATE_TEST_SUITE_P(
    FarOutside, ToolIndices,
    ::testing::Values(BadIndices{"LargestVertex", "VERTS 0 1 2 ", "VERTS 0 1 2147483647 ", true},
                      BadIndices{"SmallestVertex", "VERTS 0 1 2 ", "VERTS -2147483648 1 2 ", true},
                      BadIndices{"NegativeVector", "VECS 0 0 0 0 0 0 ", "VECS 0 0 -5 0 0 0 ", true},
                      BadIndices{"LargestInterior", "INTERIOR 0 0 0 ", "INTERIOR 0 2147483647 0 ", true},
                      BadIndices{"VertexJustPastTheEnd", "VERTS 0 1 2 ", "VERTS 0 1 3 ", true},
                      BadIndices{"VectorJustPastTheEnd", "VECS 0 0 0 0 0 0 ", "VECS 0 0 0 0 0 1 ", true},
                      BadIndices{"LargestNeighbour", "ADJACENT -1 -1 -1 ", "ADJACENT -1 2147483647 -1 ", false},
                      BadIndices{"NegativeNeighbour", "ADJACENT -1 -1 -1 ", "ADJACENT -2147483648 -1 -1 ", false}),
    [](const auto& test) { return test.param.name; });

}  // namespace
