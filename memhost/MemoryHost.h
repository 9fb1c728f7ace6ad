// The in-memory host: a scene of nodes and objects behind the host
// interfaces, for tests, for the command-line host program, and for
// pipelines that have no host application at hand.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/HostApi.h"
#include "host/HostInterfaces.h"

// A patch mesh held in memory. Public lists; the owner fills them.
class MemoryPatchMesh final : public HostPatchMesh {
public:
    std::vector<Float3> verts;
    std::vector<Float3> vecs;
    std::vector<HostPatch> patches;
    std::vector<HostPatchEdge> edges;

    int VertCount() const override;
    Float3 VertPoint(int index) const override;  // out of range: (0, 0, 0)
    int VecCount() const override;
    Float3 VecPoint(int index) const override;  // out of range: (0, 0, 0)
    int PatchCount() const override;
    const HostPatch& PatchRecord(int index) const override;  // out of range: a default patch
    int EdgeCount() const override;
    const HostPatchEdge& EdgeRecord(int index) const override;  // out of range: (-1, -1)

    // Bytes of patch data held (the lists' elements).
    std::size_t MemoryBytes() const;
};

// Counters that tests and the host program read.
struct MemoryHostStats {
    std::int64_t conversions = 0;     // objects created by Become
    std::int64_t ownedDeletes = 0;    // DeleteMe on an object the caller owned
    std::int64_t illegalDeletes = 0;  // DeleteMe on an object the scene owns
    std::int64_t cameraEvaluations = 0;
    HostInterval lastInterval{};  // as passed to the last camera evaluation
    HostTime lastConversionTime = -1;
    HostTime lastCameraTime = -1;
};

MemoryHostStats& HostStats();

// An object in the in-memory scene. What it can become is configured.
class MemoryObject final : public HostObject {
public:
    // How Become(PatchObjectType) answers.
    enum class Conversion {
        None,       // CanBecome answers 0
        Self,       // already a patch object: Become answers itself
        NewObject,  // Become builds a new patch object that the caller owns
        Fails,      // CanBecome answers 1, Become answers null
    };

    // Builds the patch mesh of a converted object.
    using MeshBuilder = std::function<MemoryPatchMesh()>;

    // A patch object holding mesh.
    static std::unique_ptr<MemoryObject> PatchObject(MemoryPatchMesh mesh);
    // An object that converts into a new patch object built by build.
    static std::unique_ptr<MemoryObject> Convertible(MeshBuilder build, std::size_t sourceBytes = 0);
    // An object that claims it converts and then fails.
    static std::unique_ptr<MemoryObject> FailingConversion();
    // A look-at camera whose evaluation answers evaluateAnswer.
    static std::unique_ptr<MemoryObject> LookAtCamera(int evaluateAnswer = 1);
    // An object that converts to nothing (a light, a helper).
    static std::unique_ptr<MemoryObject> Inert();

    ~MemoryObject() override;

    int CanBecome(HostTypeId type) override;
    HostObject* Become(HostTime time, HostTypeId type) override;
    const HostPatchMesh* PatchData() override;
    int EvaluateCamera(HostTime time, HostInterval& valid, HostCameraState* state) override;
    void DeleteMe() override;

    // Configuration, also for objects that pass both type tests.
    Conversion conversion = Conversion::None;
    bool isCamera = false;
    int cameraAnswer = 1;
    MeshBuilder builder;
    MemoryPatchMesh mesh;         // the data of a patch object
    std::size_t sourceBytes = 0;  // size of the host data a conversion reads
    bool ownedByCaller = false;   // set on objects that Become created

private:
    MemoryObject() = default;
};

// A node of the in-memory scene. Owns its children and its object.
class MemoryNode final : public HostNode {
public:
    explicit MemoryNode(std::string name = std::string());
    ~MemoryNode();
    MemoryNode(const MemoryNode&) = delete;
    MemoryNode& operator=(const MemoryNode&) = delete;

    HostObject* EvaluatedObject(HostTime time, int flags) override;
    Matrix3 Transform(HostTime time) override;
    HostNode* LookAtTarget() override;
    int ChildCount() override;
    HostNode* Child(int index) override;

    // Appends a child and answers it.
    MemoryNode* AddChild(std::unique_ptr<MemoryNode> child);
    MemoryNode* AddChild(std::string childName);
    void SetObject(std::unique_ptr<MemoryObject> object);
    MemoryObject* Object() { return object_.get(); }
    std::size_t NumChildren() const { return children_.size(); }
    MemoryNode* ChildNode(std::size_t index) { return children_[index].get(); }

    std::string name;
    Matrix3 world;                 // world transform, answered at every time
    MemoryNode* target = nullptr;  // look-at target, not owned

    // What the walker asked, for tests.
    int childCountCalls = 0;
    int evaluations = 0;
    HostTime lastEvaluationTime = -1;
    int lastEvaluationFlags = -1;
    HostTime lastTransformTime = -1;

private:
    std::vector<std::unique_ptr<MemoryNode>> children_;
    std::unique_ptr<MemoryObject> object_;
};

// The window system that the in-memory host adds rollup pages to. It has
// none of its own: a program that shows pages (on POSIX, in the desktop
// model) plugs in its calls. Without them AddPanelPage answers null.
struct PageSystem {
    HWND (*create)(HINSTANCE module, int dialogId, DLGPROC proc, LPARAM param) = nullptr;
    void (*destroy)(HWND page) = nullptr;
};

// The in-memory core interface: a scene root, a current time, directories,
// and rollup pages in the window system plugged in as pages.
class MemoryInterface final : public Interface {
public:
    MemoryInterface();
    ~MemoryInterface();
    MemoryInterface(const MemoryInterface&) = delete;
    MemoryInterface& operator=(const MemoryInterface&) = delete;

    HWND AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                      DWORD flags) override;
    void RemovePanelPage(HWND page) override;
    int PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    const char* DirectoryPath(int which) override;  // null when not set
    HostNode* SceneRoot() override;
    HostTime CurrentTime() override;

    MemoryNode& Root() { return *root_; }
    void SetRoot(std::unique_ptr<MemoryNode> root);
    void SetDirectory(int which, std::string path);

    HostTime currentTime = 0;
    PageSystem pages;

    // Every mouse message a page handed on, for tests.
    struct MouseMessage {
        HWND page;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<MouseMessage> mouseMessages;
    int pagesAdded = 0;
    int pagesRemoved = 0;
    std::string lastPageTitle;

private:
    std::unique_ptr<MemoryNode> root_;
    std::map<int, std::string> directories_;
};
