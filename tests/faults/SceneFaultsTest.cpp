// The scene walker on scenes that push it: a 100,000-deep chain, a node
// with 100,000 children, no evaluated object anywhere, conversions that
// fail, and meshes with no vertices. The walk finishes, collects what is
// there in order, deletes exactly what it made, and the set writes and
// reads back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "FaultSupport.h"
#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

namespace {

constexpr int kDepth = 100000;
constexpr int kWidth = 100000;
// Every this many levels or children, a camera, so that order shows.
constexpr int kCameraEvery = 1000;

MemoryPatchMesh TriangleMesh() {
    MemoryPatchMesh mesh;
    mesh.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    HostPatch patch;
    patch.type = 3;
    for (int i = 0; i < 3; ++i) patch.vertIndex[i] = i;
    mesh.patches = {patch};
    return mesh;
}

// A camera node placed at x = number, so that the order of cameras in the
// set shows the order of the walk.
std::unique_ptr<MemoryNode> CameraNode(int number) {
    auto node = std::make_unique<MemoryNode>("camera " + std::to_string(number));
    node->SetObject(MemoryObject::LookAtCamera());
    node->world = Matrix3::Translation({static_cast<float>(number), 0.0f, 0.0f});
    return node;
}

class SceneFaults : public ::testing::Test {
protected:
    SceneFaults() : previous_(SetCOREInterface(&core)), before_(HostStats()) {}
    ~SceneFaults() override { SetCOREInterface(previous_); }

    std::int32_t Collect(std::unique_ptr<MemoryNode> root) {
        core.SetRoot(std::move(root));
        return set.CollectScene();
    }
    std::int64_t Conversions() const { return HostStats().conversions - before_.conversions; }
    std::int64_t OwnedDeletes() const { return HostStats().ownedDeletes - before_.ownedDeletes; }
    std::int64_t IllegalDeletes() const { return HostStats().illegalDeletes - before_.illegalDeletes; }

    // The set written and read back has the same counts.
    void ExpectWritesAndReadsBack() {
        faults::Scratch scratch;
        const std::string path = scratch.File("scene.txt");
        ASSERT_EQ(set.Write(path.c_str()), 1);
        PatchIO back;
        ReadFailure why;
        ASSERT_EQ(back.Read(path.c_str(), &why), 1) << why.Message();
        ASSERT_EQ(back.NumPatchObjects(), set.NumPatchObjects());
        EXPECT_EQ(back.NumCameras(), set.NumCameras());
        for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
            EXPECT_EQ(back.PatchObjectAt(i).NumVerts(), set.PatchObjectAt(i).NumVerts());
            EXPECT_EQ(back.PatchObjectAt(i).NumPatches(), set.PatchObjectAt(i).NumPatches());
        }
    }

    MemoryInterface core;
    PatchIO set;

private:
    Interface* previous_;
    MemoryHostStats before_;
};

TEST_F(SceneFaults, AChain100000DeepIsWalkedToItsEnd) {
    auto root = std::make_unique<MemoryNode>("root");
    MemoryNode* tip = root.get();
    for (int level = 1; level < kDepth; ++level) {
        tip = tip->AddChild(level % kCameraEvery == 0 ? CameraNode(level) : std::make_unique<MemoryNode>("level"));
    }
    tip->SetObject(MemoryObject::PatchObject(TriangleMesh()));
    EXPECT_EQ(Collect(std::move(root)), 1);
    ASSERT_EQ(set.NumPatchObjects(), 1);
    ASSERT_EQ(set.NumCameras(), kDepth / kCameraEvery - 1);
    for (std::int32_t i = 0; i < set.NumCameras(); ++i)
        EXPECT_EQ(set.CameraAt(i).position.x, static_cast<float>((i + 1) * kCameraEvery));
    ExpectWritesAndReadsBack();
    // Replacing the root destroys the chain, which must not recurse per level.
    core.SetRoot(std::make_unique<MemoryNode>("empty"));
}

TEST_F(SceneFaults, ANodeWith100000ChildrenHasEachCollectedInOrder) {
    auto root = std::make_unique<MemoryNode>("root");
    for (int child = 0; child < kWidth; ++child) {
        if (child % kCameraEvery == 0) {
            root->AddChild(CameraNode(child));
        } else {
            root->AddChild("child")->SetObject(MemoryObject::PatchObject(TriangleMesh()));
        }
    }
    MemoryNode& parent = *root;
    EXPECT_EQ(Collect(std::move(root)), 1);
    EXPECT_EQ(set.NumPatchObjects(), kWidth - kWidth / kCameraEvery);
    ASSERT_EQ(set.NumCameras(), kWidth / kCameraEvery);
    for (std::int32_t i = 0; i < set.NumCameras(); ++i)
        EXPECT_EQ(set.CameraAt(i).position.x, static_cast<float>(i * kCameraEvery));
    EXPECT_EQ(parent.ChildNode(kWidth - 1)->evaluations, 1);
    ExpectWritesAndReadsBack();
}

// A tree where no node has an object: each node is visited once and
// nothing is collected.
TEST_F(SceneFaults, NoEvaluatedObjectAnywhereCollectsNothing) {
    auto root = std::make_unique<MemoryNode>("root");
    MemoryNode* deep = root.get();
    for (int level = 0; level < 100; ++level) deep = deep->AddChild("level");
    for (int child = 0; child < 100; ++child) root->AddChild("leaf");
    MemoryNode& first = *root;
    EXPECT_EQ(Collect(std::move(root)), 1);
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(set.NumCameras(), 0);
    EXPECT_EQ(first.evaluations, 1);
    EXPECT_EQ(deep->evaluations, 1);
    EXPECT_EQ(Conversions(), 0);
    ExpectWritesAndReadsBack();
}

TEST_F(SceneFaults, ConversionsThatFailAddAndDeleteNothing) {
    auto root = std::make_unique<MemoryNode>("root");
    root->SetObject(MemoryObject::FailingConversion());
    MemoryNode* deep = root.get();
    for (int level = 0; level < 50; ++level) {
        deep = deep->AddChild("level");
        deep->SetObject(MemoryObject::FailingConversion());
        root->AddChild("sibling")->SetObject(MemoryObject::FailingConversion());
    }
    deep->AddChild("last")->SetObject(MemoryObject::PatchObject(TriangleMesh()));
    EXPECT_EQ(Collect(std::move(root)), 1);
    EXPECT_EQ(set.NumPatchObjects(), 1) << "only the one object that converts";
    EXPECT_EQ(OwnedDeletes(), 0);
    EXPECT_EQ(IllegalDeletes(), 0);
}

// An object whose conversion succeeds but that then has no patch data.
class NoDataObject final : public HostObject {
public:
    explicit NoDataObject(int* deletes) : deletes_(deletes) {}
    int CanBecome(HostTypeId type) override { return type == PatchObjectType ? 1 : 0; }
    HostObject* Become(HostTime, HostTypeId) override { return new NoDataObject(deletes_); }
    const HostPatchMesh* PatchData() override { return nullptr; }
    int EvaluateCamera(HostTime, HostInterval&, HostCameraState*) override { return 0; }
    void DeleteMe() override {
        ++*deletes_;
        delete this;
    }

private:
    int* deletes_;
};

class NoDataNode final : public HostNode {
public:
    explicit NoDataNode(int* deletes) : object_(deletes) {}
    HostObject* EvaluatedObject(HostTime, int) override { return &object_; }
    Matrix3 Transform(HostTime) override { return Matrix3(); }
    HostNode* LookAtTarget() override { return nullptr; }
    int ChildCount() override { return 0; }
    HostNode* Child(int) override { return nullptr; }

private:
    NoDataObject object_;
};

TEST_F(SceneFaults, AConversionWithoutPatchDataAddsNothingAndIsDeleted) {
    int deletes = 0;
    NoDataNode node(&deletes);
    EXPECT_EQ(set.CollectNode(&node, 1), 1);
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(deletes, 1);
}

TEST_F(SceneFaults, MeshesWithNoVerticesAreExportedEmpty) {
    auto root = std::make_unique<MemoryNode>("root");
    root->AddChild("empty patch object")->SetObject(MemoryObject::PatchObject(MemoryPatchMesh()));
    root->AddChild("empty conversion")->SetObject(MemoryObject::Convertible([] { return MemoryPatchMesh(); }));
    // Patches that name vertices of an empty list are taken as the host has them.
    MemoryPatchMesh dangling = TriangleMesh();
    dangling.verts.clear();
    root->AddChild("dangling")->SetObject(MemoryObject::PatchObject(dangling));
    EXPECT_EQ(Collect(std::move(root)), 1);
    ASSERT_EQ(set.NumPatchObjects(), 3);
    EXPECT_EQ(set.PatchObjectAt(0).NumVerts(), 0);
    EXPECT_EQ(set.PatchObjectAt(0).NumPatches(), 0);
    EXPECT_EQ(set.PatchObjectAt(1).NumVerts(), 0);
    EXPECT_EQ(set.PatchObjectAt(2).NumVerts(), 0);
    EXPECT_EQ(set.PatchObjectAt(2).NumPatches(), 1);
    EXPECT_EQ(Conversions(), 1);
    EXPECT_EQ(OwnedDeletes(), 1);
    ExpectWritesAndReadsBack();
}

}  // namespace
