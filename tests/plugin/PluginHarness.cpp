#include "PluginHarness.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <utility>

#include "host/HostApi.h"

namespace {

template <typename Function>
void Resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

LoadedPlugin::LoadedPlugin() {
    handle_ = dlopen(FERRULE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) return;
    Resolve(handle_, "LibDescription", LibDescription);
    Resolve(handle_, "LibNumberClasses", LibNumberClasses);
    Resolve(handle_, "LibClassDesc", LibClassDesc);
    Resolve(handle_, "LibVersion", LibVersion);
}

LoadedPlugin::~LoadedPlugin() {
    if (handle_) dlclose(handle_);
}

HINSTANCE LoadedPlugin::Instance() const {
    Dl_info info{};
    if (!handle_ || dladdr(reinterpret_cast<void*>(LibVersion), &info) == 0) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

bool PluginResident() {
    void* handle = dlopen(FERRULE_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

HWND RecordingInterface::AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                                      DWORD flags) {
    AddCall call;
    call.instance = instance;
    call.dialogId = dialogId;
    call.proc = proc;
    call.hasTitle = title != nullptr;
    call.title = title ? title : "";
    call.param = param;
    call.flags = flags;
    call.page = memory.AddPanelPage(instance, dialogId, proc, title, param, flags);
    call.captionDuringAdd = desktop::ItemText(call.page, 1002);
    added.push_back(call);
    return call.page;
}

void RecordingInterface::RemovePanelPage(HWND page) {
    removed.push_back(page);
    memory.RemovePanelPage(page);
}

int RecordingInterface::PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return memory.PanelMouseMessage(page, message, wParam, lParam);
}

const char* RecordingInterface::DirectoryPath(int which) {
    directoryQueries.push_back(which);
    return memory.DirectoryPath(which);
}

HostNode* RecordingInterface::SceneRoot() { return memory.SceneRoot(); }
HostTime RecordingInterface::CurrentTime() { return memory.CurrentTime(); }

DesktopScope::DesktopScope(Interface* core)
    : previousCore_(SetCOREInterface(core)),
      previousSave_(desktop::SetSaveHandler([this](const desktop::SaveRequest& request, std::string& path) {
          saveRequests.push_back(request);
          if (cancel_) return false;
          path = answer_;
          return true;
      })),
      previousShell_(desktop::SetShellHandler([this](const std::string& verb, const std::string& file, int show) {
          shellCalls.push_back({verb, file, show});
      })) {}

DesktopScope::~DesktopScope() {
    desktop::SetShellHandler(std::move(previousShell_));
    desktop::SetSaveHandler(std::move(previousSave_));
    SetCOREInterface(previousCore_);
}

void DesktopScope::AnswerWith(std::string path) {
    cancel_ = false;
    answer_ = std::move(path);
}

void DesktopScope::Cancel() { cancel_ = true; }

MemoryPatchMesh QuadMesh(float size) {
    MemoryPatchMesh mesh;
    mesh.verts = {{0, 0, 0}, {size, 0, 0}, {size, size, 0}, {0, size, 0}};
    for (int i = 0; i < 12; ++i) mesh.vecs.push_back({static_cast<float>(i), size, 1});
    HostPatch patch;
    patch.type = 4;
    for (int i = 0; i < 4; ++i) {
        patch.vertIndex[i] = i;
        patch.interiorIndex[i] = 8 + i;
        patch.edgeIndex[i] = i;
    }
    for (int i = 0; i < 8; ++i) patch.vecIndex[i] = i;
    mesh.patches = {patch};
    mesh.edges = {{0, -1}, {0, -1}, {0, -1}, {0, -1}};
    return mesh;
}

std::unique_ptr<MemoryNode> SampleScene() {
    auto root = std::make_unique<MemoryNode>("Scene Root");
    root->AddChild("patch")->SetObject(MemoryObject::PatchObject(QuadMesh(10)));
    MemoryNode* group = root->AddChild("group");
    group->AddChild("converted")->SetObject(MemoryObject::Convertible([] { return QuadMesh(2); }));
    MemoryNode* target = root->AddChild("target");
    target->world = Matrix3::Translation({1, 2, 3});
    MemoryNode* camera = group->AddChild("camera");
    camera->SetObject(MemoryObject::LookAtCamera());
    camera->world = Matrix3::Translation({0, -200, 50.5f});
    camera->target = target;
    root->AddChild("light")->SetObject(MemoryObject::Inert());
    return root;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("ferrule-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
