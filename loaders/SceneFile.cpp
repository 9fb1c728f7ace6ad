#include "loaders/SceneFile.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "loaders/BptLoader.h"
#include "loaders/ObjLoader.h"
#include "loaders/SceneTransform.h"

namespace {

using nlohmann::json;

// Where a node is in the document: its parent's place and its index among
// the parent's children. The JSON pointer of a node is spelled out only for
// an error, so that a deep hierarchy does not hold a long path per node.
struct Place {
    std::size_t parent;  // kNoPlace for the root node
    std::size_t child;
};
constexpr std::size_t kNoPlace = static_cast<std::size_t>(-1);

// A node whose JSON is still to be read.
struct PendingNode {
    const json* value;
    MemoryNode* node;
    std::size_t place;
    Matrix3 parentWorld;
};

// A camera and the name of the node it aims at.
struct CameraTarget {
    MemoryNode* camera;
    std::string targetName;
    std::size_t place;  // of the camera's node
};

bool HasOnlyKeys(const json& object, std::initializer_list<const char*> keys, std::string& unknown) {
    for (const auto& item : object.items()) {
        bool known = false;
        for (const char* key : keys) known = known || item.key() == key;
        if (!known) {
            unknown = item.key();
            return false;
        }
    }
    return true;
}

bool ToFloat(const json& value, float& out) {
    if (!value.is_number()) return false;
    const double d = value.get<double>();
    if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) return false;
    out = static_cast<float>(d);
    return true;
}

bool ToTriple(const json& value, Float3& out) {
    return value.is_array() && value.size() == 3 && ToFloat(value[0], out.x) && ToFloat(value[1], out.y) &&
           ToFloat(value[2], out.z);
}

class SceneBuilder {
public:
    SceneBuilder(std::string name, const SceneFileOpener& open) : name_(std::move(name)), open_(open) {}

    SceneLoad Build(const json& document);

private:
    std::string Pointer(std::size_t place) const;
    // Fails with an error at the current node, or below it at suffix.
    bool Fail(const std::string& suffix, const std::string& message);
    bool ReadNode(const PendingNode& pending, std::vector<PendingNode>& later);
    // Each reads a value at `at`, a JSON pointer relative to the current node.
    bool ReadTransform(const json& value, const std::string& at, Transform& transform);
    bool ReadObject(const json& value, const std::string& at, MemoryNode& node);
    bool ReadCamera(const json& value, const std::string& at, MemoryNode& node);
    bool ReadPatchFile(const json& path, const std::string& at, MemoryNode& node);
    bool ReadPolygonFile(const json& path, const std::string& at, MemoryNode& node);
    bool ResolveTargets(MemoryNode& root);

    std::string name_;
    const SceneFileOpener& open_;
    std::string error_;
    std::vector<Place> places_;
    std::size_t current_ = 0;  // place of the node being read
    std::vector<CameraTarget> targets_;
    std::map<std::string, MemoryPatchMesh> patchFiles_;
    std::map<std::string, std::shared_ptr<const PolygonMesh>> polygonFiles_;
};

std::string SceneBuilder::Pointer(std::size_t place) const {
    std::vector<std::size_t> indices;
    for (std::size_t at = place; places_[at].parent != kNoPlace; at = places_[at].parent) {
        indices.push_back(places_[at].child);
    }
    std::string pointer;
    for (auto index = indices.rbegin(); index != indices.rend(); ++index) {
        pointer += "/children/" + std::to_string(*index);
    }
    return pointer;
}

bool SceneBuilder::Fail(const std::string& suffix, const std::string& message) {
    const std::string pointer = Pointer(current_) + suffix;
    error_ = name_ + ": " + (pointer.empty() ? std::string("the root node") : pointer) + ": " + message;
    return false;
}

SceneLoad SceneBuilder::Build(const json& document) {
    auto root = std::make_unique<MemoryNode>();
    // Nodes are read from a list of pending ones rather than by recursion, so
    // that a hierarchy of any depth loads.
    places_.push_back({kNoPlace, 0});
    std::vector<PendingNode> pending{{&document, root.get(), 0, Matrix3::Identity()}};
    while (!pending.empty()) {
        const PendingNode next = pending.back();
        pending.pop_back();
        if (!ReadNode(next, pending)) return {nullptr, error_};
    }
    if (!ResolveTargets(*root)) return {nullptr, error_};
    return {std::move(root), std::string()};
}

bool SceneBuilder::ReadNode(const PendingNode& pending, std::vector<PendingNode>& later) {
    const json& value = *pending.value;
    current_ = pending.place;
    std::string unknown;
    if (!value.is_object()) return Fail("", "a node must be a JSON object");
    if (!HasOnlyKeys(value, {"name", "transform", "object", "children"}, unknown)) {
        return Fail("", "unknown key \"" + unknown + "\" (a node has name, transform, object and children)");
    }
    MemoryNode& node = *pending.node;
    if (value.contains("name")) {
        if (!value["name"].is_string()) return Fail("/name", "a name must be a string");
        node.name = value["name"].get<std::string>();
    }
    Transform transform;
    if (value.contains("transform") && !ReadTransform(value["transform"], "/transform", transform)) {
        return false;
    }
    node.world = Compose(LocalMatrix(transform), pending.parentWorld);
    if (!IsFinite(node.world)) return Fail("/transform", "the world transform is too large to hold");
    if (value.contains("object") && !ReadObject(value["object"], "/object", node)) return false;
    if (!value.contains("children")) return true;
    const json& children = value["children"];
    if (!children.is_array()) return Fail("/children", "children must be an array of nodes");
    for (std::size_t i = 0; i < children.size(); ++i) {
        MemoryNode* child = node.AddChild(std::string());
        places_.push_back({pending.place, i});
        later.push_back({&children[i], child, places_.size() - 1, node.world});
    }
    return true;
}

bool SceneBuilder::ReadTransform(const json& value, const std::string& at, Transform& transform) {
    std::string unknown;
    if (!value.is_object()) return Fail(at, "a transform must be a JSON object");
    if (!HasOnlyKeys(value, {"translation", "rotation", "scale"}, unknown)) {
        return Fail(at, "unknown key \"" + unknown + "\" (a transform has translation, rotation and scale)");
    }
    if (value.contains("translation") && !ToTriple(value["translation"], transform.translation)) {
        return Fail(at + "/translation", "a translation must be an array of three finite numbers");
    }
    if (value.contains("rotation") && !ToTriple(value["rotation"], transform.rotationDegrees)) {
        return Fail(at + "/rotation", "a rotation must be an array of three finite numbers (degrees)");
    }
    if (value.contains("scale")) {
        const json& scale = value["scale"];
        float uniform = 1.0f;
        if (ToFloat(scale, uniform)) {
            transform.scale = {uniform, uniform, uniform};
        } else if (!ToTriple(scale, transform.scale)) {
            return Fail(at + "/scale", "a scale must be a finite number or an array of three");
        }
    }
    return true;
}

bool SceneBuilder::ReadObject(const json& value, const std::string& at, MemoryNode& node) {
    if (value.is_null()) return true;
    if (!value.is_object() || value.size() != 1) {
        return Fail(at, "an object must be null or a JSON object with one of bpt, obj, camera or inert");
    }
    const auto only = value.begin();
    const std::string& key = only.key();
    const std::string kind = at + "/" + key;
    if (key == "bpt") return ReadPatchFile(only.value(), kind, node);
    if (key == "obj") return ReadPolygonFile(only.value(), kind, node);
    if (key == "camera") return ReadCamera(only.value(), kind, node);
    if (key == "inert") {
        if (!only.value().is_string()) return Fail(kind, "inert takes the kind of object as a string, e.g. \"light\"");
        node.SetObject(MemoryObject::Inert());
        return true;
    }
    return Fail(at, "unknown kind of object \"" + key + "\" (expected bpt, obj, camera or inert)");
}

bool SceneBuilder::ReadCamera(const json& value, const std::string& at, MemoryNode& node) {
    std::string unknown;
    if (!value.is_object()) return Fail(at, "a camera must be a JSON object");
    if (!HasOnlyKeys(value, {"target", "evaluate"}, unknown)) {
        return Fail(at, "unknown key \"" + unknown + "\" (a camera has target and evaluate)");
    }
    int answer = 1;
    if (value.contains("evaluate")) {
        const json& evaluate = value["evaluate"];
        if (!evaluate.is_number_integer() || evaluate.get<std::int64_t>() < std::numeric_limits<int>::min() ||
            evaluate.get<std::int64_t>() > std::numeric_limits<int>::max()) {
            return Fail(at + "/evaluate", "evaluate must be a 32-bit integer");
        }
        answer = static_cast<int>(evaluate.get<std::int64_t>());
    }
    if (value.contains("target") && !value["target"].is_null()) {
        if (!value["target"].is_string()) return Fail(at + "/target", "a target must be a node name or null");
        targets_.push_back({&node, value["target"].get<std::string>(), current_});
    }
    node.SetObject(MemoryObject::LookAtCamera(answer));
    return true;
}

bool SceneBuilder::ReadPatchFile(const json& path, const std::string& at, MemoryNode& node) {
    if (!path.is_string()) return Fail(at, "expected the path of a Bezier patch file");
    const std::string key = path.get<std::string>();
    auto found = patchFiles_.find(key);
    if (found == patchFiles_.end()) {
        OpenedFile file = open_(key);
        if (!file.stream) return Fail(at, "cannot open " + file.name);
        std::vector<ControlNet> nets;
        std::string error;
        if (!ReadBezierPatches(*file.stream, file.name, nets, error)) return Fail(at, error);
        found = patchFiles_.emplace(key, BuildBezierMesh(nets)).first;
    }
    node.SetObject(MemoryObject::PatchObject(found->second));
    return true;
}

bool SceneBuilder::ReadPolygonFile(const json& path, const std::string& at, MemoryNode& node) {
    if (!path.is_string()) return Fail(at, "expected the path of a polygon mesh (.obj) file");
    const std::string key = path.get<std::string>();
    auto found = polygonFiles_.find(key);
    if (found == polygonFiles_.end()) {
        OpenedFile file = open_(key);
        if (!file.stream) return Fail(at, "cannot open " + file.name);
        auto mesh = std::make_shared<PolygonMesh>();
        std::string error;
        if (!ReadPolygonMesh(*file.stream, file.name, *mesh, error)) return Fail(at, error);
        found = polygonFiles_.emplace(key, std::move(mesh)).first;
    }
    node.SetObject(ConvertibleMesh(found->second));
    return true;
}

// Aims every camera at the one node that bears its target's name.
bool SceneBuilder::ResolveTargets(MemoryNode& root) {
    if (targets_.empty()) return true;
    std::unordered_map<std::string, MemoryNode*> byName;  // null: the name is borne by several nodes
    std::vector<MemoryNode*> pending{&root};
    while (!pending.empty()) {
        MemoryNode* node = pending.back();
        pending.pop_back();
        auto inserted = byName.emplace(node->name, node);
        if (!inserted.second) inserted.first->second = nullptr;
        for (std::size_t i = 0; i < node->NumChildren(); ++i) pending.push_back(node->ChildNode(i));
    }
    const std::string at = "/object/camera/target";
    for (const CameraTarget& target : targets_) {
        current_ = target.place;
        const auto found = byName.find(target.targetName);
        if (found == byName.end()) return Fail(at, "no node is named \"" + target.targetName + "\"");
        if (!found->second) return Fail(at, "several nodes are named \"" + target.targetName + "\"");
        target.camera->target = found->second;
    }
    return true;
}

// "file:line:column: message" for a document that is not JSON.
std::string SyntaxError(const std::string& name, const std::string& text, const json::parse_error& e) {
    const std::size_t end = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
    std::size_t line = 1, lineStart = 0;
    for (std::size_t k = 0; k < end; ++k) {
        if (text[k] == '\n') {
            ++line;
            lineStart = k + 1;
        }
    }
    std::string message = e.what();
    const std::size_t column = message.find("column ");
    const std::size_t colon = column == std::string::npos ? std::string::npos : message.find(": ", column);
    if (colon != std::string::npos) message.erase(0, colon + 2);
    return name + ":" + std::to_string(line) + ":" + std::to_string(end - lineStart + 1) + ": " + message;
}

// The reader's message without its "[json.exception.kind.number] " tag.
std::string Untagged(const json::exception& e) {
    std::string message = e.what();
    if (!message.empty() && message[0] == '[') {
        const std::size_t close = message.find("] ");
        if (close != std::string::npos) message.erase(0, close + 2);
    }
    return message;
}

}  // namespace

SceneLoad ReadScene(const std::string& text, const std::string& name, const SceneFileOpener& open) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& e) {
        return {nullptr, SyntaxError(name, text, e)};
    } catch (const json::exception& e) {  // a number beyond the reader's range
        return {nullptr, name + ": " + Untagged(e)};
    }
    return SceneBuilder(name, open).Build(document);
}

SceneFileOpener DiskOpener(const std::string& folder) {
    return [folder](const std::string& path) {
        const std::filesystem::path full = std::filesystem::path(folder) / std::filesystem::path(path);
        OpenedFile file;
        file.name = full.generic_string();
        std::error_code ignored;
        if (std::filesystem::is_directory(full, ignored)) return file;
        auto stream = std::make_unique<std::ifstream>(full, std::ios::binary);
        if (stream->is_open()) file.stream = std::move(stream);
        return file;
    };
}
