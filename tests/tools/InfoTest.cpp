// patchtext info: counts, open edges, boxes and cameras, as text and JSON.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ToolFiles.h"

using toolfiles::kTriangleFile;

namespace {

TEST(PatchtextInfo, TextOfOneTriangleAndACamera) {
    const std::string path = toolfiles::WriteFile("info_triangle.txt", kTriangleFile);
    toolfiles::Captured io;
    ASSERT_EQ(patchtool::RunInfo({path, false}, io.console), patchtool::kExitOk);
    EXPECT_EQ(io.out.str(), path +
                                ": version 1.10, 1 patch object, 1 camera\n"
                                "patch object 0: 3 vertices, 9 vectors, 1 triangular and 0 quadrilateral patches, "
                                "3 open edges\n"
                                "  bounding box: (0, 0, 0) to (10, 10, 1)\n"
                                "camera 0: position (0, -200, 50.5), target (0, 0, 0), distance 206.27711\n");
}

TEST(PatchtextInfo, JsonOfTheDefaultScene) {
    const std::string path = toolfiles::WriteDefaultSceneExport("info_default.txt");
    toolfiles::Captured io;
    ASSERT_EQ(patchtool::RunInfo({path, true}, io.console), patchtool::kExitOk);
    const auto json = nlohmann::json::parse(io.out.str());
    EXPECT_EQ(json["file"], path);
    EXPECT_EQ(json["version"], "1.10");
    ASSERT_EQ(json["patchObjects"].size(), 2u);
    const auto& box = json["patchObjects"][0];
    EXPECT_EQ(box["quadrilateralPatches"], 6);
    EXPECT_EQ(box["triangularPatches"], 0);
    EXPECT_EQ(box["openEdges"], 0);  // a closed box
    EXPECT_EQ(box["boundingBox"]["min"], nlohmann::json::parse("[-10, -10, 0]"));
    EXPECT_EQ(box["boundingBox"]["max"], nlohmann::json::parse("[10, 10, 10]"));
    const auto& teapot = json["patchObjects"][1];
    EXPECT_EQ(teapot["quadrilateralPatches"], 32);
    // The spout's two ends, the handle's two ends, the rim's and the lid's
    // lower edges and the poles of lid and bottom have no neighbour.
    EXPECT_GT(teapot["openEdges"].get<int>(), 0);
    ASSERT_EQ(json["cameras"].size(), 2u);
    for (const auto& camera : json["cameras"]) {
        ASSERT_EQ(camera["position"].size(), 3u);
        ASSERT_EQ(camera["target"].size(), 3u);
        EXPECT_GT(camera["distance"].get<double>(), 0.0);
    }
}

TEST(PatchtextInfo, JsonWritesNonFiniteNumbersAsNull) {
    const std::string text = toolfiles::Replace(kTriangleFile, "CAMERA 0\t0.000000", "CAMERA 0\tinf");
    const std::string path = toolfiles::WriteFile("info_inf.txt", text);
    toolfiles::Captured io;
    ASSERT_EQ(patchtool::RunInfo({path, true}, io.console), patchtool::kExitOk);
    const auto json = nlohmann::json::parse(io.out.str());
    EXPECT_TRUE(json["cameras"][0]["position"][0].is_null());
    EXPECT_TRUE(json["cameras"][0]["distance"].is_null());
}

TEST(PatchtextInfo, EmptyObjectHasNoBox) {
    const std::string text =
        "VERSION\t1.10\nPATCHOBJECTS\t1\nPATCHOBJECT 0\n\tNUMVERTS 0\n\tNUMVECS 0\n\tNUMPATCHES 0\nNUMCAMERAS 0\n";
    const std::string path = toolfiles::WriteFile("info_empty.txt", text);
    toolfiles::Captured text_io, json_io;
    ASSERT_EQ(patchtool::RunInfo({path, false}, text_io.console), patchtool::kExitOk);
    EXPECT_NE(text_io.out.str().find("  bounding box: none\n"), std::string::npos);
    ASSERT_EQ(patchtool::RunInfo({path, true}, json_io.console), patchtool::kExitOk);
    EXPECT_TRUE(nlohmann::json::parse(json_io.out.str())["patchObjects"][0]["boundingBox"].is_null());
}

TEST(PatchtextInfo, BrokenFileTellsWhyAndFails) {
    const std::string path =
        toolfiles::WriteFile("info_broken.txt", toolfiles::Replace(kTriangleFile, "NUMVECS", "NUMVEC"));
    toolfiles::Captured io;
    EXPECT_EQ(patchtool::RunInfo({path, false}, io.console), patchtool::kExitBadFile);
    EXPECT_EQ(io.out.str(), "");
    EXPECT_NE(io.err.str().find(path + ":8:2: error: "), std::string::npos) << io.err.str();
}

}  // namespace
