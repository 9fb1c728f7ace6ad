// Damaged inputs: every loader answers a loaded scene or an error for each
// of many deterministic mutations of good files, and never crashes.
#include <gtest/gtest.h>

#include <random>

#include "SceneTestSupport.h"
#include "loaders/SceneFiles.h"

namespace {

constexpr int kMutations = 1500;

// Pieces that make damaged text more likely to reach deep into a reader.
const char* const kPieces[] = {"-", "0",   "1e38", "1e39", "nan", " ", "\n", "\r", "\t", "/",    "-9999999999", "f",
                               "v", "3 3", "{",    "}",    "[",   "]", "\"", ",",  ":",  "null", "\"obj\"",     "\0"};

std::string Mutated(const std::string& text, std::mt19937& random) {
    std::string out = text;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !out.empty(); ++e) {
        const std::size_t at = random() % out.size();
        switch (random() % 4) {
            case 0:
                out[at] = static_cast<char>(random() % 256);
                break;
            case 1:
                out.erase(at, random() % 32);
                break;
            case 2:
                out.insert(at, out.substr(random() % out.size(), random() % 64));
                break;
            default:
                out.insert(at, kPieces[random() % (sizeof kPieces / sizeof kPieces[0])]);
                break;
        }
    }
    return out;
}

TEST(LoaderRobustness, DamagedBezierPatchFiles) {
    const std::string teapot = ReadWholeFile(std::string(GANTLINE_PROJECT_DATA) + "/teapot.bpt");
    ASSERT_FALSE(teapot.empty());
    std::mt19937 random(1975);
    int failed = 0;
    for (int i = 0; i < kMutations; ++i) {
        const PatchMeshLoad load = LoadBezierPatchText(Mutated(teapot, random), "damaged.bpt");
        ASSERT_EQ(load.ok, load.error.empty()) << load.error;
        failed += load.ok ? 0 : 1;
    }
    EXPECT_GT(failed, kMutations / 2);
}

TEST(LoaderRobustness, DamagedPolygonMeshes) {
    const std::string box = ReadWholeFile(std::string(GANTLINE_PROJECT_DATA) + "/box.obj");
    ASSERT_FALSE(box.empty());
    std::mt19937 random(1987);
    InstalledHost host;
    for (int i = 0; i < kMutations; ++i) {
        ObjectLoad load = LoadPolygonMeshText(Mutated(box, random), "damaged.obj");
        ASSERT_EQ(load.object == nullptr, !load.error.empty()) << load.error;
        if (!load) continue;
        HostObject* made = load.object->Become(0, PatchObjectType);  // conversion must cope too
        ASSERT_NE(made, nullptr);
        made->DeleteMe();
    }
}

TEST(LoaderRobustness, DamagedSceneFiles) {
    const std::string folder = std::string(GANTLINE_TEST_DATA) + "/scene";
    const std::string scene = ReadWholeFile(folder + "/every_kind.json");
    ASSERT_FALSE(scene.empty());
    std::mt19937 random(2024);
    for (int i = 0; i < kMutations; ++i) {
        const SceneLoad load = LoadSceneText(Mutated(scene, random), "damaged.json", folder);
        ASSERT_EQ(load.root == nullptr, !load.error.empty()) << load.error;
    }
}

}  // namespace
