// The default scene built into the host layer.
#include <gtest/gtest.h>

#include <algorithm>

#include "SceneTestSupport.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace {

int Depth(MemoryNode& node) {
    int deepest = 0;
    for (std::size_t i = 0; i < node.NumChildren(); ++i) deepest = std::max(deepest, Depth(*node.ChildNode(i)));
    return deepest + 1;
}

MemoryNode* Find(MemoryNode& node, const std::string& name) {
    if (node.name == name) return &node;
    for (std::size_t i = 0; i < node.NumChildren(); ++i) {
        if (MemoryNode* found = Find(*node.ChildNode(i), name)) return found;
    }
    return nullptr;
}

TEST(DefaultScene, ExportsTheTeapotTheBoxAndTwoCameras) {
    InstalledHost host;
    host.host.SetRoot(DefaultScene());
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumPatchObjects(), 2);
    EXPECT_EQ(set.PatchObjectAt(0).NumPatches(), 6);   // the box, converted
    EXPECT_EQ(set.PatchObjectAt(1).NumPatches(), 32);  // the teapot
    EXPECT_EQ(HostStats().ownedDeletes, 1);
    EXPECT_EQ(HostStats().illegalDeletes, 0);

    ASSERT_EQ(set.NumCameras(), 2);
    MemoryNode* teapot = Find(host.Root(), "Teapot");
    ASSERT_NE(teapot, nullptr);
    EXPECT_EQ(set.CameraAt(0).target, teapot->world.row[3]);
    EXPECT_NE(set.CameraAt(0).target, Float3(0, 0, 0));
    EXPECT_EQ(set.CameraAt(1).target, Float3(0, 0, 0));
    EXPECT_NE(set.CameraAt(1).position, Float3(0, 0, 0));
}

TEST(DefaultScene, HasADeepHierarchyATransformedTeapotAndALight) {
    std::unique_ptr<MemoryNode> root = DefaultScene();
    EXPECT_GE(Depth(*root), 4);  // the root and three levels below it
    MemoryNode* teapot = Find(*root, "Teapot");
    ASSERT_NE(teapot, nullptr);
    EXPECT_NE(teapot->world.row[0], Float3(1, 0, 0));
    MemoryNode* light = Find(*root, "Key Light");
    ASSERT_NE(light, nullptr);
    ASSERT_NE(light->Object(), nullptr);
    EXPECT_EQ(light->Object()->CanBecome(PatchObjectType), 0);
    EXPECT_EQ(light->Object()->CanBecome(LookAtCameraType), 0);
}

TEST(DefaultScene, TeapotIsTheProjectsTeapot) {
    std::unique_ptr<MemoryNode> root = DefaultScene();
    MemoryNode* teapot = Find(*root, "Teapot");
    ASSERT_NE(teapot, nullptr);
    const SceneLoad file = LoadSceneFile(std::string(GANTLINE_PROJECT_DATA) + "/teapot.bpt");
    ASSERT_TRUE(file) << file.error;
    EXPECT_EQ(ExportPatchObject(teapot->Object()->mesh), ExportPatchObject(file.root->ChildNode(0)->Object()->mesh));
}

}  // namespace
