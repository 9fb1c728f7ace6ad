// The scene walker: fills an export set from the host scene, depth-first
// from the root, with every object that can become a patch object and every
// look-at camera.
//
// The walk keeps its own stack of pending nodes instead of recursing once
// per level, so a hierarchy of any depth is walked without exhausting the
// call stack. The order is the pre-order of the recursive walk: a node's
// own entries first, then each child with its whole subtree, children in
// index order, the child count asked afresh before every step.
#include <cstdint>
#include <limits>
#include <vector>

#include "host/HostApi.h"
#include "patchio/PatchIO.h"

namespace {

// The host's further integer passed with every node evaluation.
constexpr int kEvaluationFlags = 1;

// Conversions, camera evaluations and transforms are asked for at time 0.
constexpr HostTime kCollectTime = 0;

// Both ends of the camera's validity interval start at the smallest value,
// as the host expects before it narrows the interval.
constexpr std::int32_t kIntervalStart = std::numeric_limits<std::int32_t>::min();

Float3 WorldPosition(HostNode& node) {
    AffineParts parts;
    decomp_affine(node.Transform(kCollectTime), &parts);
    return parts.t;
}

// A node whose children are being visited, and the next child's index.
struct PendingNode {
    HostNode* node;
    int nextChild;
};

// Appends what one node contributes: its patch object, then its camera.
void CollectOwnEntries(PatchIO& set, HostNode& node) {
    Interface* ip = GetCOREInterface();
    HostObject* object = node.EvaluatedObject(ip->CurrentTime(), kEvaluationFlags);
    if (!object) return;

    if (object->CanBecome(PatchObjectType)) {
        HostObject* converted = object->Become(kCollectTime, PatchObjectType);
        if (converted) {
            // A converted object without patch data has nothing to copy.
            if (const HostPatchMesh* mesh = converted->PatchData()) set.AddPatchObject(ExportPatchObject(*mesh));
            // A new object belongs to the walker and goes before anything
            // else is asked of the host; the object itself stays the scene's.
            if (converted != object) converted->DeleteMe();
        }
    }

    if (object->CanBecome(LookAtCameraType)) {
        HostInterval valid{kIntervalStart, kIntervalStart};
        HostCameraState state;
        if (object->EvaluateCamera(kCollectTime, valid, &state) != 1) return;
        ExportCamera camera;
        camera.position = WorldPosition(node);
        if (HostNode* target = node.LookAtTarget()) camera.target = WorldPosition(*target);
        set.AddCamera(camera);
    }
}

}  // namespace

std::int32_t PatchIO::CollectScene() {
    Interface* ip = GetCOREInterface();
    return CollectNode(ip->SceneRoot(), 1);
}

std::int32_t PatchIO::CollectNode(HostNode* node, std::int32_t recurse) {
    if (!node) return 1;  // nothing to collect; the host never hands a null node
    CollectOwnEntries(*this, *node);
    if (recurse == 0) return 1;

    std::vector<PendingNode> pending{{node, 0}};
    while (!pending.empty()) {
        PendingNode& top = pending.back();
        if (top.nextChild >= top.node->ChildCount()) {
            pending.pop_back();
            continue;
        }
        HostNode* child = top.node->Child(top.nextChild++);
        if (!child) continue;  // a host that answers no node for a valid index: skip it
        CollectOwnEntries(*this, *child);
        pending.push_back({child, 0});
    }
    return 1;
}
