// The walker's calls into the host, one by one, on a host that logs them:
// the order the host relies on, the converted object deleted before the
// walk moves on, and the evaluated object never deleted.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "SceneTestSupport.h"
#include "patchio/PatchIO.h"

namespace {

using Log = std::vector<std::string>;

std::string TypeName(HostTypeId type) { return type == PatchObjectType ? "patch" : "camera"; }

class LoggingObject final : public HostObject {
public:
    LoggingObject(std::string name, Log& log) : name_(std::move(name)), log_(log) {}

    int CanBecome(HostTypeId type) override {
        log_.push_back(name_ + ".CanBecome(" + TypeName(type) + ")");
        return 1;
    }
    HostObject* Become(HostTime time, HostTypeId type) override {
        log_.push_back(name_ + ".Become(" + std::to_string(time) + "," + TypeName(type) + ")");
        converted_ = std::make_unique<LoggingObject>("converted", log_);
        converted_->hasPatchData = convertsWithPatchData;
        return converted_.get();
    }
    const HostPatchMesh* PatchData() override {
        log_.push_back(name_ + ".PatchData");
        return hasPatchData ? &mesh_ : nullptr;
    }
    int EvaluateCamera(HostTime time, HostInterval& valid, HostCameraState*) override {
        log_.push_back(name_ + ".EvaluateCamera(" + std::to_string(time) + ")");
        valid = {5, 6};  // the host may narrow the interval; the walker reads nothing back
        return 1;
    }
    void DeleteMe() override { log_.push_back(name_ + ".DeleteMe"); }

    bool hasPatchData = true;
    bool convertsWithPatchData = true;

private:
    std::string name_;
    Log& log_;
    MemoryPatchMesh mesh_ = TaggedMesh(1.0f);
    std::unique_ptr<LoggingObject> converted_;
};

class LoggingNode final : public HostNode {
public:
    LoggingNode(std::string name, Log& log) : name_(std::move(name)), log_(log), object_(name_ + "Object", log) {}

    HostObject* EvaluatedObject(HostTime time, int flags) override {
        log_.push_back(name_ + ".Evaluate(" + std::to_string(time) + "," + std::to_string(flags) + ")");
        return &object_;
    }
    Matrix3 Transform(HostTime time) override {
        log_.push_back(name_ + ".Transform(" + std::to_string(time) + ")");
        return Matrix3::Translation({1, 2, 3});
    }
    HostNode* LookAtTarget() override {
        log_.push_back(name_ + ".LookAtTarget");
        return target;
    }
    int ChildCount() override {
        log_.push_back(name_ + ".ChildCount");
        return static_cast<int>(children.size());
    }
    HostNode* Child(int index) override {
        log_.push_back(name_ + ".Child(" + std::to_string(index) + ")");
        return children[static_cast<std::size_t>(index)];
    }

    LoggingObject& Object() { return object_; }

    HostNode* target = nullptr;
    std::vector<HostNode*> children;

private:
    std::string name_;
    Log& log_;
    LoggingObject object_;
};

bool Logged(const Log& log, const std::string& call) { return std::find(log.begin(), log.end(), call) != log.end(); }

TEST(WalkerCallOrder, FollowsTheHostsOrderForEveryNode) {
    InstalledHost host;
    host.host.currentTime = 160;
    Log log;
    LoggingNode root("root", log), child("child", log), aim("aim", log);
    root.target = &aim;
    root.children = {&child};

    PatchIO set;
    EXPECT_EQ(set.CollectNode(&root, 1), 1);

    const Log expected = {
        "root.Evaluate(160,1)",
        "rootObject.CanBecome(patch)",
        "rootObject.Become(0,patch)",
        "converted.PatchData",
        "converted.DeleteMe",
        "rootObject.CanBecome(camera)",
        "rootObject.EvaluateCamera(0)",
        "root.Transform(0)",
        "root.LookAtTarget",
        "aim.Transform(0)",
        "root.ChildCount",
        "root.Child(0)",
        "child.Evaluate(160,1)",
        "childObject.CanBecome(patch)",
        "childObject.Become(0,patch)",
        "converted.PatchData",
        "converted.DeleteMe",
        "childObject.CanBecome(camera)",
        "childObject.EvaluateCamera(0)",
        "child.Transform(0)",
        "child.LookAtTarget",
        "child.ChildCount",
        "root.ChildCount",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(set.NumPatchObjects(), 2);
    EXPECT_EQ(set.NumCameras(), 2);
}

// A host that converts into an object without patch data: nothing to copy,
// and the converted object is still given back.
TEST(WalkerCallOrder, ConvertedObjectWithoutPatchDataIsDeletedAndSkipped) {
    InstalledHost host;
    Log log;
    LoggingNode node("node", log);
    node.Object().convertsWithPatchData = false;
    PatchIO set;
    set.CollectNode(&node, 1);
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_TRUE(Logged(log, "converted.DeleteMe"));
    EXPECT_EQ(set.NumCameras(), 1);
}

// A host that answers no node for an index below its child count: that
// child is skipped and the walk goes on with the next.
TEST(WalkerCallOrder, MissingChildIsSkipped) {
    InstalledHost host;
    Log log;
    LoggingNode root("root", log), last("last", log);
    root.children = {nullptr, &last};
    PatchIO set;
    set.CollectNode(&root, 1);
    EXPECT_EQ(set.NumPatchObjects(), 2);
    EXPECT_TRUE(Logged(log, "last.Evaluate(0,1)"));
}

TEST(WalkerCallOrder, NoNodeCollectsNothing) {
    InstalledHost host;
    PatchIO set;
    EXPECT_EQ(set.CollectNode(nullptr, 1), 1);
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(set.NumCameras(), 0);
}

}  // namespace
