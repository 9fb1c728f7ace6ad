#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "CommaLocale.h"
#include "PatchTexts.h"
#include "TestFiles.h"
#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

namespace {

using namespace patchtexts;
using testfiles::TempDir;

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ClearAssertReports(); }
    void TearDown() override { ClearAssertReports(); }

    // Reads text from a file of its own into set.
    std::int32_t ReadText(PatchIO& set, const std::string& text) {
        const std::string path = dir_.File("case" + std::to_string(files_++) + ".txt");
        testfiles::WriteBytes(path, text);
        return set.Read(path.c_str());
    }

    static std::vector<int> ReportedLines() {
        std::vector<int> lines;
        for (const AssertReport& report : AssertReports()) {
            EXPECT_EQ(report.file, "PatchIO");
            lines.push_back(report.line);
        }
        return lines;
    }

    TempDir dir_;
    int files_ = 0;
};

// The worked example's contents, as the reader must deliver them.
void ExpectWorkedExample(const PatchIO& set) {
    ASSERT_EQ(set.NumPatchObjects(), 1);
    const ExportPatchObject& object = set.PatchObjectAt(0);
    ASSERT_EQ(object.NumVerts(), 3);
    EXPECT_EQ(object.VertAt(1), Float3(10, 0, 0));
    EXPECT_EQ(object.VertAt(2), Float3(0, 10, 0));
    ASSERT_EQ(object.NumVecs(), 9);
    EXPECT_EQ(object.VecAt(2), Float3(7.5f, 2.5f, 0));
    EXPECT_EQ(object.VecAt(8), Float3(2.5f, 5, 1));
    ASSERT_EQ(object.NumPatches(), 1);
    ExportPatch patch;
    patch.sides = 3;
    for (int i = 0; i < 3; ++i) {
        patch.verts[i] = i;
        patch.interior[i] = 6 + i;
    }
    for (int j = 0; j < 6; ++j) patch.vecs[j] = j;
    // Slots beyond the three sides keep -1 from the default record.
    EXPECT_EQ(object.PatchAt(0), patch);
    ASSERT_EQ(set.NumCameras(), 1);
    EXPECT_EQ(set.CameraAt(0).position, Float3(0, -200, 50.5f));
    EXPECT_EQ(set.CameraAt(0).target, Float3(0, 0, 0));
}

TEST_F(ReaderTest, ReadsTheWorkedExample) {
    PatchIO set;
    EXPECT_EQ(ReadText(set, WorkedExample()), 1);
    ExpectWorkedExample(set);
    EXPECT_TRUE(ReportedLines().empty());
}

struct EdgeCase {
    const char* name;
    std::string text;
    std::int32_t result;
    std::int32_t objects;
    std::int32_t cameras;
};

std::vector<EdgeCase> EdgeCases() {
    const std::string example = WorkedExample();
    const std::string twoObjects = Object(0, 2) + Object(1, 3);
    return {
        {"worked example", example, 1, 1, 1},
        {"no final line end", example.substr(0, example.size() - 1), 0, 1, 0},
        {"1.10 ending after its objects", Header("1.10", 2) + twoObjects, 0, 2, 0},
        {"version 1", Header("1", 2) + twoObjects + Cameras(2), 1, 2, 0},
        {"version 1.0", Header("1.0", 2) + twoObjects + Cameras(2), 1, 2, 0},
        {"version 1.00", Header("1.00", 2) + twoObjects + Cameras(2), 1, 2, 0},
        {"version 1.0 without cameras", Header("1.0", 2) + twoObjects, 1, 2, 0},
        {"version 1.1", Header("1.1", 2) + twoObjects + Cameras(2), 1, 2, 2},
        {"version 1.10", Header("1.10", 2) + twoObjects + Cameras(2), 1, 2, 2},
        {"side count 2", Header("1.10", 2) + Object(0, 2) + Object(1, 3, 2) + Cameras(1), 0, 1, 0},
        {"side count 5", Header("1.10", 2) + Object(0, 2) + Object(1, 3, 5) + Cameras(1), 0, 1, 0},
        {"side count 3", Header("1.10", 2) + Object(0, 2) + Object(1, 3, 3) + Cameras(1), 1, 2, 1},
        {"lower-case keyword", Replace(example, "VERSION", "version"), 0, 0, 0},
        {"mixed-case keyword", Replace(example, "NUMVERTS", "NumVerts"), 0, 0, 0},
        {"mixed-case camera", Replace(example, "CAMERA 0", "Camera 0"), 0, 1, 0},
        {"PATCHOBJECTS for PATCHOBJECT", Replace(example, "PATCHOBJECT 0", "PATCHOBJECTS 0"), 0, 0, 0},
        {"PATCHOBJECT for PATCHOBJECTS", Replace(example, "PATCHOBJECTS", "PATCHOBJECT"), 0, 0, 0},
        {"index 01 at 1", Replace(example, "\t\t1\t10.0", "\t\t01\t10.0"), 1, 1, 1},
        {"index 007 at 7", Replace(example, "\t\t7\t5.0", "\t\t007\t5.0"), 1, 1, 1},
        {"index 7x at 7", Replace(example, "\t\t7\t5.0", "\t\t7x\t5.0"), 1, 1, 1},
        {"index without digits at 0", Replace(example, "PATCHOBJECT 0", "PATCHOBJECT zero"), 1, 1, 1},
        {"index 2 at 1", Replace(example, "\t\t1\t10.0", "\t\t2\t10.0"), 0, 0, 0},
        {"camera index 1 at 0", Replace(example, "CAMERA 0", "CAMERA 1"), 0, 1, 0},
        {"no objects", Header("1.10", 0) + Cameras(0), 1, 0, 0},
        {"cameras only", Header("1.10", 0) + Cameras(3), 1, 0, 3},
        {"negative counts", "VERSION 1.10 PATCHOBJECTS -3 NUMCAMERAS -1\n", 1, 0, 0},
        {"negative vertex count", Header("1.0", 1) + Replace(Object(0, 0), "NUMVERTS 0", "NUMVERTS -5"), 1, 1, 0},
        {"vertex count larger than the vertices", Replace(example, "NUMVERTS 3", "NUMVERTS 4"), 0, 0, 0},
        {"camera count larger than the cameras", Replace(example, "NUMCAMERAS 1", "NUMCAMERAS 2"), 0, 1, 1},
        {"object count larger than the objects", Replace(example, "PATCHOBJECTS\t1", "PATCHOBJECTS\t2"), 0, 1, 0},
        {"trailing tokens", example + "PATCHOBJECT 7 trailing { text }\n", 1, 1, 1},
        {"trailing token without line end", example + "junk", 1, 1, 1},
        {"trailing text after version 1.0", Header("1.0", 1) + Object(0, 1) + "NUMCAMERAS oops", 1, 1, 0},
        {"object count beyond 32 bits", Replace(example, "PATCHOBJECTS\t1", "PATCHOBJECTS\t99999999999"), 0, 1, 0},
        {"vertex count beyond 32 bits", Replace(example, "NUMVERTS 3", "NUMVERTS 99999999999"), 0, 0, 0},
        {"index 2^32 at 0", Replace(example, "PATCHOBJECT 0", "PATCHOBJECT 4294967296"), 0, 0, 0},
        {"negative count beyond 32 bits", Header("1.10", 0) + "NUMCAMERAS -99999999999\n", 1, 0, 0},
        {"empty file", "", 0, 0, 0},
        {"only a keyword", "VERSION\n", 0, 0, 0},
        {"version token cut by the end", "VERSION 1.10", 0, 0, 0},
    };
}

TEST_F(ReaderTest, EdgeCases) {
    for (const EdgeCase& c : EdgeCases()) {
        PatchIO set;
        EXPECT_EQ(ReadText(set, c.text), c.result) << c.name;
        EXPECT_EQ(set.NumPatchObjects(), c.objects) << c.name;
        EXPECT_EQ(set.NumCameras(), c.cameras) << c.name;
    }
}

// Every token of text, joined again by an assortment of delimiter runs.
std::string Rejoined(const std::string& text) {
    static const char* const kSeparators[] = {" ", "\t", "\r\n", "{", "}", " {\t} \n", "\n\n\n", "}}{{", "\r"};
    std::istringstream in(text);
    std::string token;
    std::string out;
    std::size_t k = 0;
    while (in >> token) out += token + kSeparators[k++ % (sizeof kSeparators / sizeof kSeparators[0])];
    return out + "\n";
}

TEST_F(ReaderTest, BracesAndAnyWhiteSpaceReadLikeTheWritersLayout) {
    PatchIO set;
    EXPECT_EQ(ReadText(set, Rejoined(WorkedExample())), 1);
    ExpectWorkedExample(set);
    EXPECT_EQ(ReadText(set, "{VERSION}{1.10}{PATCHOBJECTS}{0}{NUMCAMERAS}{0"), 0) << "last token cut by the end";
    EXPECT_EQ(ReadText(set, "{VERSION}{1.10}{PATCHOBJECTS}{0}{NUMCAMERAS}{0}"), 1);
}

TEST_F(ReaderTest, EmptyCountsGoStraightOnToTheNextKeyword) {
    PatchIO set;
    const std::string text =
        Header("1.10", 1) + "PATCHOBJECT 0\n\tNUMVERTS -5\n\tNUMVECS 0\n\tNUMPATCHES -1\n" + Cameras(1);
    ASSERT_EQ(ReadText(set, text), 1);
    EXPECT_EQ(set.PatchObjectAt(0), ExportPatchObject());
}

TEST_F(ReaderTest, IndexValuesAreStoredAsRead) {
    PatchIO set;
    const std::string text = Replace(WorkedExample(), "VERTS 0 1 2 ", "VERTS -1 99999999999 -99999999999 ");
    ASSERT_EQ(ReadText(set, Replace(text, "ADJACENT -1 -1 -1", "ADJACENT 5 007 -1")), 1);
    const ExportPatch& patch = set.PatchObjectAt(0).PatchAt(0);
    EXPECT_EQ(patch.verts[0], -1);
    EXPECT_EQ(patch.verts[1], std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(patch.verts[2], std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(patch.adjacent[0], 5);
    EXPECT_EQ(patch.adjacent[1], 7);
}

TEST_F(ReaderTest, UnknownVersionsAreReportedOnLine403AndReadOn) {
    struct Case {
        const char* version;
        bool reported;
        std::int32_t cameras;
    };
    const Case cases[] = {{"1", false, 0},    {"1.0", false, 0},      {"1.00", false, 0}, {"1.1", false, 2},
                          {"1.10", false, 2}, {"1.100000", false, 2}, {"1.0x", false, 0}, {"2", true, 2},
                          {"1.05", true, 2},  {"0.9", true, 0},       {"abc", true, 0},   {"1.1000001", true, 2}};
    for (const Case& c : cases) {
        ClearAssertReports();
        PatchIO set;
        EXPECT_EQ(ReadText(set, Header(c.version, 1) + Object(0, 2) + Cameras(2)), 1) << c.version;
        EXPECT_EQ(set.NumPatchObjects(), 1) << c.version;
        EXPECT_EQ(set.NumCameras(), c.cameras) << c.version;
        EXPECT_EQ(ReportedLines(), c.reported ? std::vector<int>{403} : std::vector<int>{}) << c.version;
    }
}

TEST_F(ReaderTest, StartsFromAnEmptySetWhateverHappens) {
    PatchIO set;
    ASSERT_EQ(ReadText(set, Header("1.10", 3) + Object(0, 1) + Object(1, 1) + Object(2, 1) + Cameras(3)), 1);
    const std::string missing = dir_.File("missing.txt");
    EXPECT_EQ(set.Read(missing.c_str()), 0);
    EXPECT_EQ(set.NumPatchObjects(), 0);
    EXPECT_EQ(set.NumCameras(), 0);

    ASSERT_EQ(ReadText(set, Header("1.10", 3) + Object(0, 1) + Object(1, 1) + Object(2, 1) + Cameras(3)), 1);
    EXPECT_EQ(set.Read(nullptr), 0);
    EXPECT_EQ(set.NumPatchObjects(), 0);
}

TEST_F(ReaderTest, FailureKeepsWhatWasCompletedAndDropsThePartialItem) {
    PatchIO set;
    set.AddPatchObject(ExportPatchObject());
    const std::string text = Header("1.10", 2) + Object(0, 3) + Object(1, 2) + Cameras(2);
    // The second object breaks in its vertex list; the first is complete.
    ASSERT_EQ(ReadText(set, Replace(text, "PATCHOBJECT 1\n\tNUMVERTS 2", "PATCHOBJECT 1\n\tNUMVERTS 3")), 0);
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.PatchObjectAt(0).NumVerts(), 3);
    EXPECT_EQ(set.PatchObjectAt(0).VertAt(2), Float3(2, 0.5f, -2.5f));
    EXPECT_EQ(set.NumCameras(), 0);

    // The second camera breaks in its target; the first is complete.
    const std::string cut = text.substr(0, text.rfind('\t'));
    ASSERT_EQ(ReadText(set, cut + "\t3 4\n"), 0);
    EXPECT_EQ(set.NumPatchObjects(), 2);
    ASSERT_EQ(set.NumCameras(), 1);
    EXPECT_EQ(set.CameraAt(0).position, Float3(0, 1, 2));
}

TEST_F(ReaderTest, CommaDecimalLocaleReadsTheSame) {
    testlocale::CommaLocale comma;
    if (!comma.Active()) GTEST_SKIP() << testlocale::kNoCommaLocale;
    PatchIO set;
    ASSERT_EQ(ReadText(set, WorkedExample()), 1);
    ExpectWorkedExample(set);
    EXPECT_TRUE(ReportedLines().empty()) << "1.10 is still version 1.10 under " << comma.Name();
}

TEST_F(ReaderTest, AnswerAndContentsDoNotDependOnAskingWhy) {
    const std::string broken = Replace(WorkedExample(), "NUMCAMERAS 1", "NUMCAMERAS 2");
    const std::string path = dir_.File("broken.txt");
    testfiles::WriteBytes(path, broken);
    PatchIO quiet;
    PatchIO curious;
    ReadFailure why;
    EXPECT_EQ(quiet.Read(path.c_str()), 0);
    EXPECT_EQ(curious.Read(path.c_str(), &why), 0);
    ASSERT_EQ(quiet.NumPatchObjects(), curious.NumPatchObjects());
    EXPECT_EQ(quiet.PatchObjectAt(0), curious.PatchObjectAt(0));
    EXPECT_EQ(quiet.NumCameras(), curious.NumCameras());
}

}  // namespace
