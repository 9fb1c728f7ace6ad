// The scene walker on the in-memory host: what it collects, in which order,
// and what it asks of the host.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "SceneTestSupport.h"
#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

namespace {

MemoryNode* AddPatchNode(MemoryNode& parent, const std::string& name, float tag) {
    MemoryNode* node = parent.AddChild(name);
    node->SetObject(MemoryObject::PatchObject(TaggedMesh(tag)));
    return node;
}

MemoryNode* AddCameraNode(MemoryNode& parent, Float3 at, int answer = 1) {
    MemoryNode* node = parent.AddChild("camera");
    node->SetObject(MemoryObject::LookAtCamera(answer));
    node->world = Matrix3::Translation(at);
    return node;
}

TEST(Walker, EmptyRootGivesAnEmptySetAndAnswersOne) {
    InstalledHost host;
    PatchIO set;
    EXPECT_EQ(set.CollectScene(), 1);
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(set.NumCameras(), 0);
    EXPECT_EQ(host.Root().evaluations, 1);
}

TEST(Walker, NodeWithoutObjectStillHasItsChildrenCollected) {
    InstalledHost host;
    AddPatchNode(host.Root(), "child", 7.0f);
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(TagOf(set.PatchObjectAt(0)), 7.0f);
}

TEST(Walker, EvaluatesAtTheCurrentTimeWithTheFurtherIntegerOne) {
    InstalledHost host;
    host.host.currentTime = 4800;
    MemoryNode* child = AddPatchNode(host.Root(), "child", 1.0f);
    PatchIO set;
    set.CollectScene();
    EXPECT_EQ(child->lastEvaluationTime, 4800);
    EXPECT_EQ(child->lastEvaluationFlags, 1);
    EXPECT_EQ(host.Root().lastEvaluationFlags, 1);
}

TEST(Walker, CollectsDepthFirstInChildOrder) {
    InstalledHost host;
    MemoryNode* p = AddPatchNode(host.Root(), "P", 1.0f);
    AddPatchNode(*p, "Q", 2.0f);
    AddPatchNode(host.Root(), "R", 3.0f);
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumPatchObjects(), 3);
    EXPECT_EQ(TagOf(set.PatchObjectAt(0)), 1.0f);
    EXPECT_EQ(TagOf(set.PatchObjectAt(1)), 2.0f);
    EXPECT_EQ(TagOf(set.PatchObjectAt(2)), 3.0f);
}

TEST(Walker, AsksForTheChildCountBeforeEveryStep) {
    InstalledHost host;
    MemoryNode* a = host.Root().AddChild("a");
    host.Root().AddChild("b");
    host.Root().AddChild("c");
    PatchIO set;
    set.CollectScene();
    EXPECT_EQ(host.Root().childCountCalls, 4);
    EXPECT_EQ(a->childCountCalls, 1);
}

TEST(Walker, RecurseZeroCollectsTheNodeAlone) {
    InstalledHost host;
    host.Root().SetObject(MemoryObject::PatchObject(TaggedMesh(5.0f)));
    MemoryNode* child = AddPatchNode(host.Root(), "child", 6.0f);
    PatchIO set;
    EXPECT_EQ(set.CollectNode(&host.Root(), 0), 1);
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(TagOf(set.PatchObjectAt(0)), 5.0f);
    EXPECT_EQ(child->evaluations, 0);
    EXPECT_EQ(host.Root().childCountCalls, 0);
}

TEST(Walker, CopiesPatchDataExactlyWhateverTheNodeTransform) {
    InstalledHost host;
    MemoryNode* node = AddPatchNode(host.Root(), "turned", 9.5f);
    node->world.row[0] = {0, 3, 0};
    node->world.row[1] = {-3, 0, 0};
    node->world.row[3] = {100, 200, 300};
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.PatchObjectAt(0), ExportPatchObject(TaggedMesh(9.5f)));  // bit for bit, -0 included
}

TEST(Walker, ObjectPassingBothTestsIsInBothLists) {
    InstalledHost host;
    auto object = MemoryObject::PatchObject(TaggedMesh(4.0f));
    object->isCamera = true;
    MemoryNode* node = host.Root().AddChild("both");
    node->SetObject(std::move(object));
    node->world = Matrix3::Translation({1, 2, 3});
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumPatchObjects(), 1);
    ASSERT_EQ(set.NumCameras(), 1);
    EXPECT_EQ(set.CameraAt(0).position, Float3(1, 2, 3));
    EXPECT_EQ(HostStats().illegalDeletes, 0);
}

// How each kind of conversion ends: objects exported, and what was deleted.
struct ConversionCase {
    const char* name;
    MemoryObject::Conversion conversion;
    int exported;
    std::int64_t conversions;
    std::int64_t ownedDeletes;
    HostTime conversionTime;  // -1: Become is never asked
};

class WalkerConversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(WalkerConversion, ExportsAndDeletesAsTheConversionAnswers) {
    const ConversionCase& c = GetParam();
    InstalledHost host;
    host.host.currentTime = 320;
    auto object = MemoryObject::FailingConversion();
    object->conversion = c.conversion;
    object->mesh = TaggedMesh(2.0f);
    object->builder = [] { return TaggedMesh(3.0f); };
    host.Root().AddChild("node")->SetObject(std::move(object));
    PatchIO set;
    set.CollectScene();
    EXPECT_EQ(set.NumPatchObjects(), c.exported);
    EXPECT_EQ(HostStats().conversions, c.conversions);
    EXPECT_EQ(HostStats().ownedDeletes, c.ownedDeletes);
    EXPECT_EQ(HostStats().illegalDeletes, 0);
    EXPECT_EQ(HostStats().lastConversionTime, c.conversionTime);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WalkerConversion,
    testing::Values(ConversionCase{"AlreadyPatchObjectIsKept", MemoryObject::Conversion::Self, 1, 0, 0, 0},
                    ConversionCase{"NewObjectIsDeleted", MemoryObject::Conversion::NewObject, 1, 1, 1, 0},
                    ConversionCase{"NullConversionAddsNothing", MemoryObject::Conversion::Fails, 0, 0, 0, 0},
                    ConversionCase{"NotConvertibleIsNotAsked", MemoryObject::Conversion::None, 0, 0, 0, -1}),
    CaseName<ConversionCase>);

TEST(Walker, ExportsTheConvertedObjectsData) {
    InstalledHost host;
    host.Root().AddChild("node")->SetObject(MemoryObject::Convertible([] { return TaggedMesh(8.0f); }));
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(TagOf(set.PatchObjectAt(0)), 8.0f);
}

class WalkerCameraAnswer : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(WalkerCameraAnswer, OnlyAnAnswerOfOneGivesACamera) {
    InstalledHost host;
    host.host.currentTime = 99;
    AddCameraNode(host.Root(), {1, 1, 1}, GetParam().first);
    PatchIO set;
    set.CollectScene();
    EXPECT_EQ(set.NumCameras(), GetParam().second);
    EXPECT_EQ(HostStats().cameraEvaluations, 1);
    EXPECT_EQ(HostStats().lastCameraTime, 0);
    EXPECT_EQ(HostStats().lastInterval.start, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(HostStats().lastInterval.end, std::numeric_limits<std::int32_t>::min());
}

INSTANTIATE_TEST_SUITE_P(Answers, WalkerCameraAnswer,
                         testing::Values(std::make_pair(0, 0), std::make_pair(1, 1), std::make_pair(2, 0),
                                         std::make_pair(-1, 0)));

TEST(Walker, CameraWithTargetTakesBothTranslations) {
    InstalledHost host;
    MemoryNode* target = host.Root().AddChild("target");
    target->world = Matrix3::Translation({-4, 5, 6});
    MemoryNode* camera = AddCameraNode(host.Root(), {10, 20, 30});
    camera->target = target;
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumCameras(), 1);
    EXPECT_EQ(set.CameraAt(0).position, Float3(10, 20, 30));
    EXPECT_EQ(set.CameraAt(0).target, Float3(-4, 5, 6));
    EXPECT_EQ(camera->lastTransformTime, 0);
    EXPECT_EQ(target->lastTransformTime, 0);
}

TEST(Walker, CameraWithoutTargetAimsAtTheOriginAndKeepsItsOwnPosition) {
    InstalledHost host;
    AddCameraNode(host.Root(), {0, 0, 0});
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumCameras(), 1);
    EXPECT_EQ(set.CameraAt(0).position, Float3(0, 0, 0));  // never the default (0, 0, 100)
    EXPECT_EQ(set.CameraAt(0).target, Float3(0, 0, 0));
}

TEST(Walker, RotationAndScaleDoNotMoveCameraPositions) {
    InstalledHost host;
    MemoryNode* target = host.Root().AddChild("target");
    target->world.row[0] = {0, 0, -5};
    target->world.row[1] = {0, 5, 0};
    target->world.row[2] = {5, 0, 0};
    target->world.row[3] = {7, 8, 9};
    MemoryNode* camera = AddCameraNode(host.Root(), {0, 0, 0});
    camera->world.row[0] = {0.5f, 0.5f, 0};
    camera->world.row[1] = {-0.5f, 0.5f, 0};
    camera->world.row[2] = {0, 0, 3};
    camera->world.row[3] = {-1.5f, 2.25f, 100};
    camera->target = target;
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumCameras(), 1);
    EXPECT_EQ(set.CameraAt(0).position, Float3(-1.5f, 2.25f, 100));
    EXPECT_EQ(set.CameraAt(0).target, Float3(7, 8, 9));
}

TEST(Walker, CamerasAreListedInNodeOrder) {
    InstalledHost host;
    MemoryNode* first = AddCameraNode(host.Root(), {1, 0, 0});
    AddCameraNode(*first, {2, 0, 0});
    AddCameraNode(host.Root(), {3, 0, 0});
    PatchIO set;
    set.CollectScene();
    ASSERT_EQ(set.NumCameras(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(set.CameraAt(i).position.x, static_cast<float>(i + 1));
}

TEST(Walker, SecondCollectionAppendsAgain) {
    InstalledHost host;
    AddPatchNode(host.Root(), "a", 1.0f);
    PatchIO set;
    set.CollectScene();
    set.CollectScene();
    EXPECT_EQ(set.NumPatchObjects(), 2);
}

// A chain deeper than any call stack holds one frame per level in.
constexpr int kDeep = 100000;

TEST(Walker, HundredThousandDeepChainIsCollectedInOrder) {
    InstalledHost host;
    MemoryNode* node = &host.Root();
    for (int depth = 1; depth <= kDeep; ++depth) {
        node = node->AddChild("level");
        if (depth == 1 || depth == kDeep / 2 || depth == kDeep) {
            node->SetObject(MemoryObject::PatchObject(TaggedMesh(static_cast<float>(depth))));
        }
    }
    node->AddChild("leaf camera")->SetObject(MemoryObject::LookAtCamera());
    PatchIO set;
    EXPECT_EQ(set.CollectScene(), 1);
    ASSERT_EQ(set.NumPatchObjects(), 3);
    EXPECT_EQ(TagOf(set.PatchObjectAt(0)), 1.0f);
    EXPECT_EQ(TagOf(set.PatchObjectAt(1)), static_cast<float>(kDeep / 2));
    EXPECT_EQ(TagOf(set.PatchObjectAt(2)), static_cast<float>(kDeep));
    EXPECT_EQ(set.NumCameras(), 1);
}

TEST(Walker, HundredThousandChildrenAreEachVisitedOnce) {
    InstalledHost host;
    for (int i = 0; i < kDeep; ++i) host.Root().AddChild("child");
    host.Root().ChildNode(kDeep - 1)->SetObject(MemoryObject::PatchObject(TaggedMesh(1.0f)));
    PatchIO set;
    set.CollectScene();
    EXPECT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(host.Root().childCountCalls, kDeep + 1);
    for (std::size_t i = 0; i < host.Root().NumChildren(); ++i) {
        ASSERT_EQ(host.Root().ChildNode(i)->evaluations, 1) << "child " << i;
    }
}

}  // namespace
