#include "memhost/MemoryHost.h"

#include <utility>

namespace {
const HostPatch kNoPatch{};
const HostPatchEdge kNoEdge{};

template <typename List>
bool InRange(const List& list, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}
}  // namespace

// ---- MemoryPatchMesh ----

int MemoryPatchMesh::VertCount() const { return static_cast<int>(verts.size()); }
Float3 MemoryPatchMesh::VertPoint(int index) const {
    return InRange(verts, index) ? verts[static_cast<std::size_t>(index)] : Float3{};
}
int MemoryPatchMesh::VecCount() const { return static_cast<int>(vecs.size()); }
Float3 MemoryPatchMesh::VecPoint(int index) const {
    return InRange(vecs, index) ? vecs[static_cast<std::size_t>(index)] : Float3{};
}
int MemoryPatchMesh::PatchCount() const { return static_cast<int>(patches.size()); }
const HostPatch& MemoryPatchMesh::PatchRecord(int index) const {
    return InRange(patches, index) ? patches[static_cast<std::size_t>(index)] : kNoPatch;
}
int MemoryPatchMesh::EdgeCount() const { return static_cast<int>(edges.size()); }
const HostPatchEdge& MemoryPatchMesh::EdgeRecord(int index) const {
    return InRange(edges, index) ? edges[static_cast<std::size_t>(index)] : kNoEdge;
}
std::size_t MemoryPatchMesh::MemoryBytes() const {
    return (verts.size() + vecs.size()) * sizeof(Float3) + patches.size() * sizeof(HostPatch) +
           edges.size() * sizeof(HostPatchEdge);
}

// ---- MemoryHostStats ----

MemoryHostStats& HostStats() {
    static MemoryHostStats stats;
    return stats;
}

// ---- MemoryObject ----

std::unique_ptr<MemoryObject> MemoryObject::PatchObject(MemoryPatchMesh mesh) {
    std::unique_ptr<MemoryObject> object(new MemoryObject());
    object->conversion = Conversion::Self;
    object->mesh = std::move(mesh);
    return object;
}

std::unique_ptr<MemoryObject> MemoryObject::Convertible(MeshBuilder build, std::size_t sourceBytes) {
    std::unique_ptr<MemoryObject> object(new MemoryObject());
    object->conversion = Conversion::NewObject;
    object->builder = std::move(build);
    object->sourceBytes = sourceBytes;
    return object;
}

std::unique_ptr<MemoryObject> MemoryObject::FailingConversion() {
    std::unique_ptr<MemoryObject> object(new MemoryObject());
    object->conversion = Conversion::Fails;
    return object;
}

std::unique_ptr<MemoryObject> MemoryObject::LookAtCamera(int evaluateAnswer) {
    std::unique_ptr<MemoryObject> object(new MemoryObject());
    object->isCamera = true;
    object->cameraAnswer = evaluateAnswer;
    return object;
}

std::unique_ptr<MemoryObject> MemoryObject::Inert() { return std::unique_ptr<MemoryObject>(new MemoryObject()); }

MemoryObject::~MemoryObject() = default;

int MemoryObject::CanBecome(HostTypeId type) {
    if (type == PatchObjectType) return conversion == Conversion::None ? 0 : 1;
    if (type == LookAtCameraType) return isCamera ? 1 : 0;
    return 0;
}

HostObject* MemoryObject::Become(HostTime time, HostTypeId type) {
    if (type != PatchObjectType) return nullptr;
    HostStats().lastConversionTime = time;
    switch (conversion) {
        case Conversion::Self:
            return this;
        case Conversion::NewObject: {
            std::unique_ptr<MemoryObject> made(new MemoryObject());
            made->conversion = Conversion::Self;
            if (builder) made->mesh = builder();
            made->ownedByCaller = true;
            ++HostStats().conversions;
            return made.release();  // the caller owns it and gives it back with DeleteMe
        }
        case Conversion::None:
        case Conversion::Fails:
            break;
    }
    return nullptr;
}

const HostPatchMesh* MemoryObject::PatchData() { return conversion == Conversion::Self ? &mesh : nullptr; }

int MemoryObject::EvaluateCamera(HostTime time, HostInterval& valid, HostCameraState* state) {
    MemoryHostStats& stats = HostStats();
    ++stats.cameraEvaluations;
    stats.lastInterval = valid;
    stats.lastCameraTime = time;
    if (!isCamera) return 0;
    if (state) *state = HostCameraState{};
    return cameraAnswer;
}

void MemoryObject::DeleteMe() {
    if (!ownedByCaller) {
        // The scene owns this object: deleting it would leave the node
        // dangling. Count it so that tests catch the caller's mistake.
        ++HostStats().illegalDeletes;
        return;
    }
    ++HostStats().ownedDeletes;
    delete this;
}

// ---- MemoryNode ----

MemoryNode::MemoryNode(std::string name_) : name(std::move(name_)) {}

// Children are destroyed iteratively, so that a deep chain of nodes does not
// recurse once per level.
MemoryNode::~MemoryNode() {
    std::vector<std::unique_ptr<MemoryNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<MemoryNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children_) pending.push_back(std::move(child));
        node->children_.clear();
    }
}

HostObject* MemoryNode::EvaluatedObject(HostTime time, int flags) {
    ++evaluations;
    lastEvaluationTime = time;
    lastEvaluationFlags = flags;
    return object_.get();
}

Matrix3 MemoryNode::Transform(HostTime time) {
    lastTransformTime = time;
    return world;
}

HostNode* MemoryNode::LookAtTarget() { return target; }

int MemoryNode::ChildCount() {
    ++childCountCalls;
    return static_cast<int>(children_.size());
}

HostNode* MemoryNode::Child(int index) {
    return InRange(children_, index) ? children_[static_cast<std::size_t>(index)].get() : nullptr;
}

MemoryNode* MemoryNode::AddChild(std::unique_ptr<MemoryNode> child) {
    children_.push_back(std::move(child));
    return children_.back().get();
}

MemoryNode* MemoryNode::AddChild(std::string childName) {
    return AddChild(std::make_unique<MemoryNode>(std::move(childName)));
}

void MemoryNode::SetObject(std::unique_ptr<MemoryObject> object) { object_ = std::move(object); }

// ---- MemoryInterface ----

MemoryInterface::MemoryInterface() : root_(std::make_unique<MemoryNode>("Scene Root")) {}
MemoryInterface::~MemoryInterface() = default;

HWND MemoryInterface::AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                                   DWORD) {
    ++pagesAdded;
    lastPageTitle = title ? title : "";
    return pages.create ? pages.create(instance, dialogId, proc, param) : nullptr;
}

void MemoryInterface::RemovePanelPage(HWND page) {
    ++pagesRemoved;
    if (pages.destroy) pages.destroy(page);
}

int MemoryInterface::PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    mouseMessages.push_back({page, message, wParam, lParam});
    return 1;
}

const char* MemoryInterface::DirectoryPath(int which) {
    auto found = directories_.find(which);
    return found == directories_.end() ? nullptr : found->second.c_str();
}

HostNode* MemoryInterface::SceneRoot() { return root_.get(); }
HostTime MemoryInterface::CurrentTime() { return currentTime; }

void MemoryInterface::SetRoot(std::unique_ptr<MemoryNode> root) {
    root_ = root ? std::move(root) : std::make_unique<MemoryNode>("Scene Root");
}

void MemoryInterface::SetDirectory(int which, std::string path) { directories_[which] = std::move(path); }
