// The in-memory host: objects answer their configured conversions, nodes
// own their children, and pages go to the window system plugged in.
#include <gtest/gtest.h>

#include <memory>

#include "host/HostApi.h"
#include "memhost/MemoryHost.h"

namespace {

TEST(MemoryObjects, AnswerTheirConfiguredConversions) {
    const MemoryHostStats before = HostStats();
    auto patch = MemoryObject::PatchObject(MemoryPatchMesh());
    EXPECT_EQ(patch->CanBecome(PatchObjectType), 1);
    EXPECT_EQ(patch->Become(0, PatchObjectType), patch.get());
    EXPECT_EQ(patch->CanBecome(LookAtCameraType), 0);

    MemoryPatchMesh mesh;
    mesh.verts = {{1, 2, 3}};
    auto convertible = MemoryObject::Convertible([mesh] { return mesh; });
    HostObject* made = convertible->Become(0, PatchObjectType);
    ASSERT_NE(made, nullptr);
    ASSERT_NE(made, convertible.get());
    EXPECT_EQ(made->PatchData()->VertCount(), 1);
    made->DeleteMe();
    EXPECT_EQ(HostStats().ownedDeletes, before.ownedDeletes + 1);

    patch->DeleteMe();  // the scene owns it: refused and counted
    EXPECT_EQ(HostStats().illegalDeletes, before.illegalDeletes + 1);

    EXPECT_EQ(MemoryObject::FailingConversion()->Become(0, PatchObjectType), nullptr);
    EXPECT_EQ(MemoryObject::Inert()->CanBecome(PatchObjectType), 0);

    auto camera = MemoryObject::LookAtCamera(2);
    HostInterval interval{-5, 7};
    EXPECT_EQ(camera->EvaluateCamera(0, interval, nullptr), 2);
    EXPECT_EQ(HostStats().lastInterval.start, -5);
}

TEST(MemoryPatchMesh, OutOfRangeRecordsAreHarmless) {
    MemoryPatchMesh mesh;
    EXPECT_EQ(mesh.EdgeRecord(-1).firstPatch, -1);
    EXPECT_EQ(mesh.EdgeRecord(5).secondPatch, -1);
    EXPECT_EQ(mesh.PatchRecord(0).type, 4);
    EXPECT_EQ(mesh.VertPoint(3), Float3());
}

TEST(MemoryNode, DeepChainsAreDestroyedWithoutRecursion) {
    auto root = std::make_unique<MemoryNode>("root");
    MemoryNode* tip = root.get();
    for (int i = 0; i < 200000; ++i) tip = tip->AddChild("n");
    root.reset();
    SUCCEED() << "no stack overflow";
}

// What the window system plugged into the in-memory host was asked.
int pageCreated = 0;
HWND pageDestroyed = nullptr;
HWND CreatePage(HINSTANCE, int dialogId, DLGPROC, LPARAM) {
    pageCreated = dialogId;
    return reinterpret_cast<HWND>(0x77);
}
void DestroyPage(HWND page) { pageDestroyed = page; }

TEST(MemoryInterface, AddsPagesToThePluggedInWindowSystem) {
    MemoryInterface bare;
    EXPECT_EQ(bare.AddPanelPage(nullptr, 101, nullptr, "Parameters", 0, 0), nullptr);
    bare.RemovePanelPage(nullptr);
    EXPECT_EQ(bare.pagesAdded, 1);

    MemoryInterface shown;
    shown.pages = {CreatePage, DestroyPage};
    const HWND page = shown.AddPanelPage(nullptr, 101, nullptr, "Parameters", 0, 0);
    EXPECT_EQ(page, reinterpret_cast<HWND>(0x77));
    EXPECT_EQ(pageCreated, 101);
    EXPECT_EQ(shown.lastPageTitle, "Parameters");
    shown.RemovePanelPage(page);
    EXPECT_EQ(pageDestroyed, page);
}

TEST(MemoryInterface, IsWhatGetCOREInterfaceAnswersOnceSet) {
    MemoryInterface mine;
    Interface* previous = SetCOREInterface(&mine);
    EXPECT_EQ(GetCOREInterface(), &mine);
    EXPECT_EQ(GetCOREInterface()->SceneRoot(), &mine.Root());
    SetCOREInterface(previous);
}

}  // namespace
