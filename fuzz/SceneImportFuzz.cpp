// The host scene that the importer builds from an importer scene (see
// ImportedSceneCodec.h for the bytes it comes from): any scene of nodes,
// meshes with wrong indices and positions, and cameras either loads whole
// or fails with an error naming the file. A scene it builds is walked,
// written, and read back.
#include <assimp/scene.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "fuzz/ImportedSceneCodec.h"
#include "loaders/ImportedScene.h"

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T>
    T Get() {
        T value{};
        if (size_ < sizeof value) {
            size_ = 0;
            return value;
        }
        std::memcpy(&value, data_, sizeof value);
        data_ += sizeof value;
        size_ -= sizeof value;
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// An importer scene whose lists all live in this object's vectors; the
// destructor takes them back from the library's types, whose destructors
// would free them.
class DecodedScene {
public:
    explicit DecodedScene(Bytes& in) {
        meshes_.resize(std::min<unsigned>(in.Get<std::uint8_t>(), kCodecMaxMeshes));
        for (Mesh& mesh : meshes_) ReadMesh(in, mesh);
        cameras_.resize(in.Get<std::uint8_t>());
        for (aiCamera& camera : cameras_) {
            camera.mName = CodecName(in.Get<std::uint8_t>());
            camera.mLookAt = {in.Get<float>(), in.Get<float>(), in.Get<float>()};
        }
        lights_.resize(in.Get<std::uint8_t>());
        for (aiLight& light : lights_) light.mName = CodecName(in.Get<std::uint8_t>());
        ReadNodes(in);
        for (Mesh& mesh : meshes_) meshList_.push_back(&mesh.mesh);
        for (aiCamera& camera : cameras_) cameraList_.push_back(&camera);
        for (aiLight& light : lights_) lightList_.push_back(&light);
        scene_.mMeshes = meshList_.data();
        scene_.mNumMeshes = static_cast<unsigned>(meshList_.size());
        scene_.mCameras = cameraList_.data();
        scene_.mNumCameras = static_cast<unsigned>(cameraList_.size());
        scene_.mLights = lightList_.data();
        scene_.mNumLights = static_cast<unsigned>(lightList_.size());
        scene_.mRootNode = nodes_.empty() ? nullptr : nodes_[0].node.get();
    }
    ~DecodedScene() {
        for (Mesh& mesh : meshes_) {
            for (aiFace& face : mesh.faces) face.mIndices = nullptr;
            mesh.mesh.mVertices = nullptr;
            mesh.mesh.mFaces = nullptr;
        }
        for (Node& node : nodes_) {
            node.node->mChildren = nullptr;
            node.node->mNumChildren = 0;
            node.node->mMeshes = nullptr;
        }
        scene_.mRootNode = nullptr;
        scene_.mMeshes = nullptr;
        scene_.mCameras = nullptr;
        scene_.mLights = nullptr;
        scene_.mNumMeshes = scene_.mNumCameras = scene_.mNumLights = 0;
    }
    DecodedScene(const DecodedScene&) = delete;
    DecodedScene& operator=(const DecodedScene&) = delete;

    const aiScene& Scene() const { return scene_; }

private:
    struct Mesh {
        aiMesh mesh;
        std::vector<aiVector3D> vertices;
        std::vector<aiFace> faces;
        std::vector<std::vector<unsigned>> corners;
    };
    struct Node {
        std::unique_ptr<aiNode> node;
        std::vector<aiNode*> children;
        std::vector<unsigned> meshes;
    };

    static void ReadMesh(Bytes& in, Mesh& mesh) {
        mesh.vertices.resize(std::min<unsigned>(in.Get<std::uint16_t>(), kCodecMaxVertices));
        for (aiVector3D& v : mesh.vertices) v = {in.Get<float>(), in.Get<float>(), in.Get<float>()};
        const unsigned faces = std::min<unsigned>(in.Get<std::uint16_t>(), kCodecMaxFaces);
        mesh.faces.resize(faces);  // default faces, made in place: no copies that allocate
        mesh.corners.resize(faces);
        for (unsigned f = 0; f < faces; ++f) {
            mesh.corners[f].resize(std::min<unsigned>(in.Get<std::uint8_t>(), kCodecMaxCorners));
            for (unsigned& corner : mesh.corners[f]) corner = in.Get<std::uint16_t>();
            mesh.faces[f].mNumIndices = static_cast<unsigned>(mesh.corners[f].size());
            mesh.faces[f].mIndices = mesh.corners[f].data();
        }
        mesh.mesh.mVertices = mesh.vertices.data();
        mesh.mesh.mNumVertices = static_cast<unsigned>(mesh.vertices.size());
        mesh.mesh.mFaces = mesh.faces.data();
        mesh.mesh.mNumFaces = faces;
    }

    void ReadNodes(Bytes& in) {
        nodes_.resize(std::min<unsigned>(in.Get<std::uint8_t>(), kCodecMaxNodes));
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            Node& node = nodes_[i];
            node.node = std::make_unique<aiNode>(CodecName(in.Get<std::uint8_t>()));
            const std::uint8_t parent = in.Get<std::uint8_t>();
            float m[12];
            for (float& value : m) value = in.Get<float>();
            node.node->mTransformation =
                aiMatrix4x4(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], 0, 0, 0, 1);
            node.meshes.resize(in.Get<std::uint8_t>());
            for (unsigned& mesh : node.meshes) mesh = in.Get<std::uint8_t>();
            node.node->mMeshes = node.meshes.data();
            node.node->mNumMeshes = static_cast<unsigned>(node.meshes.size());
            // A parent of this node or a later one lists it too: a node
            // that appears twice, which the builder refuses.
            if (i > 0) nodes_[parent % nodes_.size()].children.push_back(node.node.get());
        }
        for (Node& node : nodes_) {
            node.node->mChildren = node.children.data();
            node.node->mNumChildren = static_cast<unsigned>(node.children.size());
        }
    }

    aiScene scene_;
    // Deques: the library's types do not move, and their places stay put.
    std::deque<Mesh> meshes_;
    std::deque<aiCamera> cameras_;
    std::deque<aiLight> lights_;
    std::deque<Node> nodes_;
    std::vector<aiMesh*> meshList_;
    std::vector<aiCamera*> cameraList_;
    std::vector<aiLight*> lightList_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const DecodedScene decoded(in);
    ImportOptions options;
    options.name = "fuzz";
    SceneLoad load = BuildImportedScene(decoded.Scene(), options, LoadListener());
    fuzz::Check(load.root == nullptr || load.error.empty(), "a loaded scene tells no error");
    fuzz::Check(load.root != nullptr || load.error.rfind("fuzz: ", 0) == 0, "a failed load names the file");
    if (!load) return 0;
    PatchIO set;
    fuzz::CollectScene(std::move(load.root), set);
    fuzz::CheckWritesAndReadsBack(set);
    return 0;
}
