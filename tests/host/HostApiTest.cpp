// The host's interface layer on its own: filter lists, transforms, the
// assertion report and the core interface before a host sets one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/HostApi.h"

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
    Interface* empty = GetCOREInterface();
    ASSERT_NE(empty, nullptr);
    // The built-in interface has an empty scene, no pages and no folders.
    ASSERT_NE(empty->SceneRoot(), nullptr);
    EXPECT_EQ(empty->SceneRoot()->ChildCount(), 0);
    EXPECT_EQ(empty->SceneRoot()->EvaluatedObject(0, 1), nullptr);
    EXPECT_EQ(empty->AddPanelPage(nullptr, 101, nullptr, "Parameters", 0, 0), nullptr);
    EXPECT_EQ(empty->DirectoryPath(3), nullptr);
    SetCOREInterface(previous);
}

}  // namespace
