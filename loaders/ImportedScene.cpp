#include "loaders/ImportedScene.h"

#include <assimp/scene.h>

#include <cmath>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "loaders/ImportedMesh.h"
#include "loaders/SceneTransform.h"

namespace {

// A node still to build: the file's node, and the host node it goes under.
struct PendingNode {
    const aiNode* source;
    MemoryNode* parent;
};

// The suffix of the node that a camera of the same name looks at.
constexpr const char* kTargetSuffix = ".Target";
// The suffix of the node that carries a camera whose own node has a mesh.
constexpr const char* kCameraSuffix = ".Camera";

// The host form of a file transform: the importer's matrices act on column
// vectors with the translation in the last column, the host's on row
// vectors with the translation in the last row.
Matrix3 HostMatrix(const aiMatrix4x4& m) {
    Matrix3 h;
    h.row[0] = {m.a1, m.b1, m.c1};
    h.row[1] = {m.a2, m.b2, m.c2};
    h.row[2] = {m.a3, m.b3, m.c3};
    h.row[3] = {m.a4, m.b4, m.c4};
    return h;
}

class SceneBuilder {
public:
    SceneBuilder(const aiScene& scene, const ImportOptions& options, const LoadListener& listener)
        : scene_(scene), options_(options), listener_(listener) {}

    SceneLoad Build();

private:
    bool Fail(const std::string& what) {
        error_ = options_.name + ": " + what;
        return false;
    }
    void Status(const std::string& text) const {
        if (listener_.status) listener_.status(text);
    }
    bool AddNodes(MemoryNode& root);
    bool AddNode(const PendingNode& pending, std::vector<PendingNode>& later);
    bool AddMeshes(const aiNode& source, MemoryNode& node);
    bool AddCameras();
    bool AddCamera(const aiCamera& camera);
    void WarnLeftOut() const;

    const aiScene& scene_;
    const ImportOptions& options_;
    const LoadListener& listener_;
    std::string error_;
    std::unordered_map<std::string, MemoryNode*> byName_;  // the first node of each name
    std::unordered_set<const aiNode*> seen_;
    std::unordered_set<std::string> lights_;                                      // the names of the lights' nodes
    MemoryNode* fileRoot_ = nullptr;                                              // the host node of the file's root
    std::map<std::vector<unsigned>, std::shared_ptr<const PolygonMesh>> joined_;  // by mesh list
    std::size_t points_ = 0, lines_ = 0, faces_ = 0, nodes_ = 0;
};

SceneLoad SceneBuilder::Build() {
    if (!scene_.mRootNode) return {nullptr, options_.name + ": the file holds no scene (no root node)"};
    for (unsigned i = 0; i < scene_.mNumLights; ++i) {
        if (scene_.mLights && scene_.mLights[i]) lights_.insert(scene_.mLights[i]->mName.C_Str());
    }
    auto root = std::make_unique<MemoryNode>("Scene Root");
    if (!AddNodes(*root) || !AddCameras()) return {nullptr, error_};
    if (faces_ == 0 && scene_.mNumCameras == 0) {
        const char* why = points_ + lines_ > 0 ? ": the file's meshes hold only points and lines"
                          : !joined_.empty()   ? ": the file's meshes hold no faces"
                                               : ": the file holds no meshes and no cameras";
        return {nullptr, options_.name + why};
    }
    WarnLeftOut();
    return {std::move(root), std::string()};
}

// Builds the tree breadth first, so that a hierarchy of any depth loads.
bool SceneBuilder::AddNodes(MemoryNode& root) {
    std::vector<PendingNode> now{{scene_.mRootNode, &root}}, later;
    while (!now.empty()) {
        for (const PendingNode& pending : now) {
            if (!AddNode(pending, later)) return false;
        }
        now.swap(later);
        later.clear();
    }
    return true;
}

bool SceneBuilder::AddNode(const PendingNode& pending, std::vector<PendingNode>& later) {
    const aiNode& source = *pending.source;
    const std::string name = source.mName.C_Str();
    if (!seen_.insert(&source).second) return Fail("node \"" + name + "\" appears twice in the hierarchy");
    MemoryNode& node = *pending.parent->AddChild(name);
    byName_.emplace(name, &node);
    const bool isRoot = &source == scene_.mRootNode;
    if (isRoot) fileRoot_ = &node;
    const Matrix3 local = isRoot && options_.dropRootTransform ? Matrix3() : HostMatrix(source.mTransformation);
    node.world = Compose(local, pending.parent->world);
    if (!IsFinite(local) || !IsFinite(node.world)) {
        return Fail("node \"" + name + "\" has a transform that is not finite");
    }
    if (source.mNumChildren > 0 && !source.mChildren) return Fail("node \"" + name + "\" has no list of children");
    for (unsigned i = 0; i < source.mNumChildren; ++i) {
        if (!source.mChildren[i]) return Fail("node \"" + name + "\" has a missing child");
        later.push_back({source.mChildren[i], &node});
    }
    if (++nodes_ % 1000 == 0) Status("building nodes: " + std::to_string(nodes_));
    return AddMeshes(source, node);
}

// A node's meshes become one object: a file's node with several meshes is
// one model cut by material, and joined its parts stay one welded surface.
bool SceneBuilder::AddMeshes(const aiNode& source, MemoryNode& node) {
    if (source.mNumMeshes == 0) {
        if (lights_.count(node.name) != 0) node.SetObject(MemoryObject::Inert());
        return true;
    }
    std::vector<unsigned> list(source.mMeshes, source.mMeshes + source.mNumMeshes);
    auto found = joined_.find(list);
    if (found == joined_.end()) {
        std::vector<const aiMesh*> meshes;
        for (const unsigned index : list) {
            if (index >= scene_.mNumMeshes || !scene_.mMeshes[index]) {
                return Fail("node \"" + node.name + "\" names mesh " + std::to_string(index) +
                            ", which does not exist");
            }
            meshes.push_back(scene_.mMeshes[index]);
        }
        Status("welding the meshes of " + node.name);
        JoinedMesh joined;
        std::string why;
        if (!JoinMeshes(meshes, joined, why)) return Fail(why);
        points_ += joined.points;
        lines_ += joined.lines;
        faces_ += joined.mesh.faceSides.size();
        found = joined_.emplace(list, std::make_shared<const PolygonMesh>(std::move(joined.mesh))).first;
    }
    const std::shared_ptr<const PolygonMesh> mesh = found->second;
    if (mesh->faceSides.empty()) return true;
    node.SetObject(ConvertibleMesh(mesh));
    return true;
}

bool SceneBuilder::AddCameras() {
    for (unsigned i = 0; i < scene_.mNumCameras; ++i) {
        if (!scene_.mCameras || !scene_.mCameras[i]) return Fail("camera " + std::to_string(i) + " is missing");
        if (!AddCamera(*scene_.mCameras[i])) return false;
    }
    return true;
}

// The camera sits at its node's origin: the importer also copies the node's
// translation into the camera's own position for some formats (glTF 2,
// 3DS, FBX), which would count it twice.
bool SceneBuilder::AddCamera(const aiCamera& camera) {
    const std::string name = camera.mName.C_Str();
    const auto found = byName_.find(name);
    if (found == byName_.end()) return Fail("camera \"" + name + "\" has no node of its name");
    MemoryNode* holder = found->second;
    if (holder->Object()) {
        MemoryNode* own = holder->AddChild(name + kCameraSuffix);
        own->world = holder->world;
        holder = own;
    }
    holder->SetObject(MemoryObject::LookAtCamera());
    const auto named = byName_.find(name + kTargetSuffix);
    if (named != byName_.end()) {
        holder->target = named->second;
        return true;
    }
    const auto point = options_.cameraTargets.find(name);
    if (point != options_.cameraTargets.end() && fileRoot_) {
        MemoryNode* target = fileRoot_->AddChild(name + kTargetSuffix);
        target->world = Compose(Matrix3::Translation(point->second), fileRoot_->world);
        if (!IsFinite(target->world)) return Fail("camera \"" + name + "\" has a target that is not finite");
        holder->target = target;
        return true;
    }
    const aiVector3D& view = camera.mLookAt;
    const double length = std::sqrt(double(view.x) * view.x + double(view.y) * view.y + double(view.z) * view.z);
    if (!std::isfinite(length) || length == 0.0) return Fail("camera \"" + name + "\" has no view direction");
    MemoryNode* target = holder->AddChild(name + kTargetSuffix);
    const Float3 ahead{static_cast<float>(view.x / length), static_cast<float>(view.y / length),
                       static_cast<float>(view.z / length)};
    target->world = Compose(Matrix3::Translation(ahead), holder->world);
    holder->target = target;
    return true;
}

void SceneBuilder::WarnLeftOut() const {
    if (!listener_.warn || points_ + lines_ == 0) return;
    const auto counted = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    listener_.warn(options_.name + ": left out " + counted(points_, "point", "points") + " and " +
                   counted(lines_, "line", "lines") + " (a patch object holds only faces)");
}

}  // namespace

SceneLoad BuildImportedScene(const aiScene& scene, const ImportOptions& options, const LoadListener& listener) {
    return SceneBuilder(scene, options, listener).Build();
}
