// Scene files: every kind of node, transforms, and malformed files.
#include <gtest/gtest.h>

#include "SceneTestSupport.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace {

const std::string kSceneData = std::string(GANTLINE_TEST_DATA) + "/scene";

void ExpectNear(const Float3& actual, const Float3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

// Loads a scene into an installed host and collects it.
class CollectedScene {
public:
    explicit CollectedScene(SceneLoad load) {
        EXPECT_TRUE(load) << load.error;
        if (load) host.host.SetRoot(std::move(load.root));
        set.CollectScene();
    }
    InstalledHost host;
    PatchIO set;
};

TEST(SceneFile, EveryKindOfNodeExportsTheExpectedLists) {
    CollectedScene scene(LoadSceneFile(kSceneData + "/every_kind.json"));
    PatchIO& set = scene.set;
    ASSERT_EQ(set.NumPatchObjects(), 3);
    EXPECT_EQ(set.PatchObjectAt(0).NumPatches(), 2);        // Patches
    EXPECT_EQ(set.PatchObjectAt(1).NumPatches(), 5);        // Mesh: one quadrilateral, four triangles
    EXPECT_EQ(set.PatchObjectAt(2), set.PatchObjectAt(0));  // Second Patches, the same file
    EXPECT_EQ(HostStats().conversions, 1);
    EXPECT_EQ(HostStats().ownedDeletes, 1);
    EXPECT_EQ(HostStats().illegalDeletes, 0);

    ASSERT_EQ(set.NumCameras(), 2);
    ExpectNear(set.CameraAt(0).position, {5, 6, 7});
    // Aim: (0, 1, 0) under Patches at (1, 0, 0) under Group (scale 2, turned
    // a quarter about Z, at (10, 0, 0)).
    ExpectNear(set.CameraAt(0).target, {8, 2, 0});
    EXPECT_EQ(set.CameraAt(1).position, Float3(-1, -2, -3));
    EXPECT_EQ(set.CameraAt(1).target, Float3(0, 0, 0));
}

TEST(SceneFile, PatchDataIsInTheObjectsOwnSpace) {
    CollectedScene scene(LoadSceneFile(kSceneData + "/every_kind.json"));
    const ExportPatchObject& patches = scene.set.PatchObjectAt(0);
    EXPECT_EQ(patches.VertAt(patches.PatchAt(0).verts[0]), Float3(0, 0, 0));
    EXPECT_EQ(patches.PatchAt(0).adjacent[1], 1);  // the two nets share a side
}

TEST(SceneFile, NodesKeepTheirNamesAndObjects) {
    const SceneLoad load = LoadSceneFile(kSceneData + "/every_kind.json");
    ASSERT_TRUE(load) << load.error;
    MemoryNode& root = *load.root;
    EXPECT_EQ(root.name, "Root");
    ASSERT_EQ(root.NumChildren(), 7u);
    EXPECT_EQ(root.ChildNode(1)->name, "Light");
    MemoryObject* light = root.ChildNode(1)->Object();
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->CanBecome(PatchObjectType), 0);
    EXPECT_EQ(light->CanBecome(LookAtCameraType), 0);
    EXPECT_EQ(root.ChildNode(6)->Object(), nullptr);
    EXPECT_EQ(root.ChildNode(2)->target, root.ChildNode(0)->ChildNode(0)->ChildNode(0));
    EXPECT_EQ(root.ChildNode(4)->Object()->cameraAnswer, 0);
}

// A parent at `parent` and its child at (0, 1, 0): the child's world position.
Float3 ChildPosition(const std::string& parentTransform) {
    const std::string text = R"({"children": [{"transform": )" + parentTransform +
                             R"(, "children": [{"transform": {"translation": [0, 1, 0]}}]}]})";
    const SceneLoad load = LoadSceneText(text, "t.json", kSceneData);
    EXPECT_TRUE(load) << load.error;
    if (!load) return {};
    return load.root->ChildNode(0)->ChildNode(0)->world.row[3];
}

TEST(SceneFile, RotationTurnsAboutXThenYThenZ) {
    ExpectNear(ChildPosition(R"({"rotation": [90, 0, 0]})"), {0, 0, 1});
    ExpectNear(ChildPosition(R"({"rotation": [0, 0, 90]})"), {-1, 0, 0});
    ExpectNear(ChildPosition(R"({"rotation": [90, 0, 90]})"), {0, 0, 1});  // X first: Z no longer moves it
    ExpectNear(ChildPosition(R"({"rotation": [0, 90, 90]})"), {-1, 0, 0});
    ExpectNear(ChildPosition(R"({"rotation": [90, 90, 0]})"), {1, 0, 0});
}

TEST(SceneFile, ScaleAppliesBeforeRotationAndTranslationLast) {
    ExpectNear(ChildPosition(R"({"scale": [1, 3, 1], "rotation": [0, 0, 90], "translation": [5, 5, 5]})"), {2, 5, 5});
    ExpectNear(ChildPosition(R"({"scale": 2})"), {0, 2, 0});
}

TEST(SceneFile, WorldTransformsChainThroughTheHierarchy) {
    const std::string text = R"({"transform": {"translation": [1, 0, 0]}, "children": [
        {"transform": {"translation": [0, 2, 0], "rotation": [0, 0, 180]}, "children": [
            {"transform": {"translation": [3, 0, 0]}}]}]})";
    const SceneLoad load = LoadSceneText(text, "t.json", kSceneData);
    ASSERT_TRUE(load) << load.error;
    ExpectNear(load.root->world.row[3], {1, 0, 0});
    ExpectNear(load.root->ChildNode(0)->world.row[3], {1, 2, 0});
    ExpectNear(load.root->ChildNode(0)->ChildNode(0)->world.row[3], {-2, 2, 0});
    ExpectNear(load.root->ChildNode(0)->ChildNode(0)->world.row[0], {-1, 0, 0});
}

TEST(SceneFile, HundredThousandDeepChainLoadsAndExports) {
    constexpr int kDeep = 100000;
    std::string text;
    for (int i = 0; i < kDeep; ++i) text += R"({"children":[)";
    text += R"({"name": "Bottom", "object": {"camera": {"target": "Bottom"}}})";
    for (int i = 0; i < kDeep; ++i) text += "]}";
    CollectedScene scene(LoadSceneText(text, "deep.json", kSceneData));
    EXPECT_EQ(scene.set.NumCameras(), 1);
}

struct MalformedCase {
    const char* name;
    std::string text;
    std::string expected;  // in the error, after "bad.json"
};

class MalformedSceneFile : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedSceneFile, FailsNamingTheFileAndThePlace) {
    const SceneLoad load = LoadSceneText(GetParam().text, "bad.json", kSceneData);
    EXPECT_FALSE(load);
    EXPECT_EQ(load.root, nullptr);
    EXPECT_EQ(load.error.rfind("bad.json", 0), 0u) << load.error;
    EXPECT_NE(load.error.find(GetParam().expected), std::string::npos) << load.error;
}

std::string Child(const std::string& node) { return R"({"children": [{}, )" + node + "]}"; }

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedSceneFile,
    testing::Values(
        MalformedCase{"Empty", "", "bad.json:1:1: "},
        MalformedCase{"NotJson", "{\n  \"name\": \"a\",\n  oops\n}", "bad.json:3:3: "},
        MalformedCase{"Unterminated", "{\"children\": [", "bad.json:1:15: "},
        MalformedCase{"NumberBeyondTheReader", R"({"name": 1e400})", "bad.json: number overflow"},
        MalformedCase{"NotUtf8", "{\"name\": \"\xff\"}", "bad.json:1:"},
        MalformedCase{"RootNotAnObject", "[]", "bad.json: the root node: a node must be a JSON object"},
        MalformedCase{"UnknownKey", Child(R"({"nmae": "x"})"), "/children/1: unknown key \"nmae\""},
        MalformedCase{"NameNotText", Child(R"({"name": 3})"), "/children/1/name:"},
        MalformedCase{"TransformNotObject", Child(R"({"transform": [1, 2, 3]})"), "/children/1/transform:"},
        MalformedCase{"TranslationOfTwo", Child(R"({"transform": {"translation": [1, 2]}})"),
                      "/children/1/transform/translation:"},
        MalformedCase{"RotationText", Child(R"({"transform": {"rotation": "x"}})"), "/transform/rotation:"},
        MalformedCase{"ScaleOfTwo", Child(R"({"transform": {"scale": [1, 2]}})"), "/transform/scale:"},
        MalformedCase{"BeyondFloat", Child(R"({"transform": {"translation": [1e39, 0, 0]}})"), "/translation:"},
        MalformedCase{"WorldTooLarge",
                      R"({"transform": {"scale": 1e30}, "children": [{"transform": {"scale": 1e30}}]})",
                      "/children/0/transform: the world transform is too large"},
        MalformedCase{"UnknownTransformKey", Child(R"({"transform": {"shear": 1}})"), "unknown key \"shear\""},
        MalformedCase{"TwoObjects", Child(R"({"object": {"bpt": "a.bpt", "obj": "b.obj"}})"), "/children/1/object:"},
        MalformedCase{"UnknownObject", Child(R"({"object": {"mesh": "a"}})"), "unknown kind of object \"mesh\""},
        MalformedCase{"ObjectText", Child(R"({"object": "light"})"), "/children/1/object:"},
        MalformedCase{"PathNotText", Child(R"({"object": {"bpt": 1}})"), "/children/1/object/bpt:"},
        MalformedCase{"MissingPatchFile", Child(R"({"object": {"bpt": "none.bpt"}})"), "cannot open"},
        MalformedCase{"MalformedPatchFile", Child(R"({"object": {"bpt": "bad_patch.bpt"}})"),
                      "/children/1/object/bpt: " + kSceneData + "/bad_patch.bpt: the file ends"},
        MalformedCase{"MissingMeshFile", Child(R"({"object": {"obj": "none.obj"}})"), "/object/obj: cannot open"},
        MalformedCase{"MalformedMeshFile", Child(R"({"object": {"obj": "meshes/bad_mesh.obj"}})"),
                      "bad_mesh.obj: face 1 refers"},
        MalformedCase{"FolderAsFile", Child(R"({"object": {"obj": "meshes"}})"), "cannot open"},
        MalformedCase{"InertNotText", Child(R"({"object": {"inert": 1}})"), "/object/inert:"},
        MalformedCase{"CameraNotObject", Child(R"({"object": {"camera": "Aim"}})"), "/object/camera:"},
        MalformedCase{"CameraUnknownKey", Child(R"({"object": {"camera": {"aim": "x"}}})"), "unknown key \"aim\""},
        MalformedCase{"TargetNotText", Child(R"({"object": {"camera": {"target": 1}}})"), "/camera/target:"},
        MalformedCase{"TargetMissing", Child(R"({"object": {"camera": {"target": "Nobody"}}})"),
                      "/children/1/object/camera/target: no node is named \"Nobody\""},
        MalformedCase{"TargetAmbiguous",
                      R"({"children": [{"name": "A"}, {"name": "A"}, {"object": {"camera": {"target": "A"}}}]})",
                      "several nodes are named \"A\""},
        MalformedCase{"EvaluateText", Child(R"({"object": {"camera": {"evaluate": "1"}}})"), "/camera/evaluate:"},
        MalformedCase{"EvaluateFraction", Child(R"({"object": {"camera": {"evaluate": 1.5}}})"), "/evaluate:"},
        MalformedCase{"EvaluateTooLarge", Child(R"({"object": {"camera": {"evaluate": 4294967296}}})"), "/evaluate:"},
        MalformedCase{"ChildrenNotArray", R"({"children": {}})", "/children: children must be an array"},
        MalformedCase{"ChildNotObject", Child("7"), "/children/1: a node must be a JSON object"}),
    CaseName<MalformedCase>);

struct FileCase {
    const char* name;
    std::string path;
    const char* expected;
};

class SceneFileByPath : public testing::TestWithParam<FileCase> {};

TEST_P(SceneFileByPath, FailsNamingTheFile) {
    const SceneLoad load = LoadSceneFile(GetParam().path);
    EXPECT_FALSE(load);
    EXPECT_EQ(load.error.rfind(GetParam().path, 0), 0u) << load.error;
    EXPECT_NE(load.error.find(GetParam().expected), std::string::npos) << load.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SceneFileByPath,
    testing::Values(FileCase{"Missing", kSceneData + "/missing.json", "cannot open"},
                    FileCase{"UnknownKind", kSceneData + "/every_kind.txt", "unknown kind of scene file"},
                    FileCase{"MalformedPatchFile", kSceneData + "/bad_patch.bpt", "the file ends"},
                    FileCase{"MalformedMesh", kSceneData + "/meshes/bad_mesh.obj", "face 1 refers"}),
    CaseName<FileCase>);

TEST(SceneFile, PolygonMeshFileLoadsAsAConvertibleObject) {
    const SceneLoad load = LoadSceneFile(kSceneData + "/meshes/pyramid.obj");
    ASSERT_TRUE(load) << load.error;
    ASSERT_EQ(load.root->NumChildren(), 1u);
    EXPECT_EQ(load.root->ChildNode(0)->name, "pyramid");
    EXPECT_EQ(load.root->ChildNode(0)->Object()->conversion, MemoryObject::Conversion::NewObject);
}

TEST(SceneFile, ExtensionIsMatchedWithoutRegardToCase) {
    // An upper-case extension names the same kind of file; the file itself
    // is missing, so the error is about opening it.
    const SceneLoad load = LoadSceneFile(kSceneData + "/missing.JSON");
    EXPECT_NE(load.error.find("cannot open"), std::string::npos) << load.error;
}

}  // namespace
