#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/Desktop.h"
#include "host/HostApi.h"
#include "host/MemoryHost.h"

namespace {

TEST(FilterList, BuildsTheWindowsFilterForm) {
    FilterList list;
    list.Append("Text Files (*.txt)");
    list.Append("*.txt");
    const char expected[] = "Text Files (*.txt)\0*.txt\0";
    EXPECT_EQ(std::memcmp(list.Buffer(), expected, sizeof expected), 0);
    EXPECT_EQ(list.Buffer()[sizeof expected], '\0');
}

TEST(FilterList, NeverWritesPastItsBuffer) {
    FilterList list;
    const std::string big(1000, 'a');
    for (int i = 0; i < 10; ++i) list.Append(big.c_str());
    EXPECT_LE(list.Used(), FilterList::kCapacity - 1);
    EXPECT_EQ(list.Buffer()[FilterList::kCapacity - 1], '\0');
    EXPECT_EQ(list.Buffer()[FilterList::kCapacity - 2], '\0');
}

TEST(DecompAffine, TranslationIsExactWhateverTheRotationAndScale) {
    Matrix3 m;
    const float angle = 0.7f;
    m.row[0] = {2 * std::cos(angle), 2 * std::sin(angle), 0};
    m.row[1] = {-3 * std::sin(angle), 3 * std::cos(angle), 0};
    m.row[2] = {0, 0, 0.5f};
    m.row[3] = {1.25f, -1e-7f, 12345.678f};
    AffineParts parts;
    decomp_affine(m, &parts);
    EXPECT_EQ(std::memcmp(&parts.t, &m.row[3], sizeof parts.t), 0);
    EXPECT_NEAR(parts.k.x, 2, 1e-5);
    EXPECT_NEAR(parts.k.y, 3, 1e-5);
    EXPECT_NEAR(parts.k.z, 0.5, 1e-6);
    EXPECT_EQ(parts.f, 1.0f);
    EXPECT_NEAR(parts.q.z, std::sin(angle / 2), 1e-5) << "a rotation about z";
    EXPECT_NEAR(parts.q.w, std::cos(angle / 2), 1e-5);
}

TEST(DecompAffine, MirroredAndDegenerateTransformsKeepTheTranslation) {
    Matrix3 mirrored;
    mirrored.row[0] = {-1, 0, 0};
    mirrored.row[3] = {1, 2, 3};
    AffineParts parts;
    decomp_affine(mirrored, &parts);
    EXPECT_EQ(parts.f, -1.0f);
    EXPECT_EQ(parts.t, Float3(1, 2, 3));
    Matrix3 flat;
    flat.row[2] = {0, 0, 0};
    flat.row[3] = {4, 5, 6};
    decomp_affine(flat, &parts);
    EXPECT_EQ(parts.t, Float3(4, 5, 6));
    decomp_affine(flat, nullptr);  // nothing to fill: no crash
}

TEST(AssertReports, RecordLineAndFileInOrder) {
    ClearAssertReports();
    assert1(60, "PatchIO");
    assert1(79, "mfc_compat");
    assert1(1, nullptr);
    ASSERT_EQ(AssertReports().size(), 3u);
    EXPECT_EQ(AssertReports()[0].line, 60);
    EXPECT_EQ(AssertReports()[1].file, "mfc_compat");
    EXPECT_EQ(AssertReports()[2].file, "");
    ClearAssertReports();
    EXPECT_TRUE(AssertReports().empty());
}

TEST(CoreInterface, IsNeverNull) {
    Interface* previous = SetCOREInterface(nullptr);
    ASSERT_NE(GetCOREInterface(), nullptr);
    EXPECT_NE(GetCOREInterface()->SceneRoot(), nullptr);
    MemoryInterface mine;
    SetCOREInterface(&mine);
    EXPECT_EQ(GetCOREInterface(), &mine);
    SetCOREInterface(previous);
}

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

TEST(Desktop, LoadsStringsAsLoadStringDoes) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x1234);
    desktop::RegisterModule(module, {{1, "Gantline"}, {2, std::string(300, 'x')}}, {});
    char buffer[256];
    std::memset(buffer, '?', sizeof buffer);
    EXPECT_EQ(desktop::LoadResourceString(module, 1, buffer, 256), 8);
    EXPECT_STREQ(buffer, "Gantline");
    EXPECT_EQ(desktop::LoadResourceString(module, 2, buffer, 256), 255);
    EXPECT_EQ(std::strlen(buffer), 255u);
    std::strcpy(buffer, "kept");
    EXPECT_EQ(desktop::LoadResourceString(module, 9, buffer, 256), 0);
    EXPECT_STREQ(buffer, "kept");
    EXPECT_EQ(desktop::LoadResourceString(nullptr, 1, buffer, 256), 0);
    desktop::UnregisterModule(module);
    EXPECT_EQ(desktop::LoadResourceString(module, 1, buffer, 256), 0);
}

}  // namespace
