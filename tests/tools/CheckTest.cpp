// patchtext check: the reader's reason for broken files, and the warnings
// for files that read but would trip a consumer, each at its place.
#include <gtest/gtest.h>

#include "MeshObjects.h"
#include "ToolFiles.h"
#include "patchio/PatchIO.h"
#include "tools/patchtext/FileCheck.h"

using toolfiles::kTriangleFile;
using toolfiles::Replace;

namespace {

struct Broken {
    const char* name;
    std::string text;
    const char* where;   // ":line:column: "
    const char* reason;  // part of the message
};

TEST(PatchtextCheck, BrokenFilesReportWhereAndWhy) {
    const std::string good = kTriangleFile;
    const Broken cases[] = {
        {"misspelt_keyword", Replace(good, "PATCHOBJECTS", "PATCHOBJETCS"),
         ":2:1: ", "expected \"PATCHOBJECTS\", found \"PATCHOBJETCS\""},
        {"lower_case_keyword", Replace(good, "VERSION", "version"), ":1:1: ", "expected \"VERSION\""},
        {"index_out_of_order", Replace(good, "\t\t1\t10.0", "\t\t2\t10.0"), ":6:3: ", "found \"2\""},
        {"five_sides", Replace(good, "SIDES 3", "SIDES 5"), ":20:10: ", "found \"5\""},
        {"ends_before_cameras", good.substr(0, good.find("NUMCAMERAS")), ":25:1: ", "the end of the file"},
        {"no_final_line_end", good.substr(0, good.size() - 1), ":26:59: ", "no line end"},
        {"too_few_vertices", Replace(good, "NUMVERTS 3", "NUMVERTS 4"), ":8:2: ", "found \"NUMVECS\""},
    };
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = toolfiles::WriteFile(std::string(c.name) + ".txt", c.text);
        toolfiles::Captured io;
        EXPECT_EQ(patchtool::RunCheck({{path}, false}, io.console), patchtool::kExitBadFile);
        const std::string err = io.err.str();
        EXPECT_NE(err.find(path + c.where + "error: "), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(err.find("\n"), err.size() - 1) << "one line: " << err;
    }
}

TEST(PatchtextCheck, MissingFileIsUnreadableInput) {
    toolfiles::Captured io;
    const std::string path = toolfiles::TempPath("does_not_exist.txt");
    EXPECT_EQ(patchtool::RunCheck({{path}, false}, io.console), patchtool::kExitUsage);
    EXPECT_EQ(io.err.str(), path + ": error: cannot open the file\n");
}

TEST(PatchtextCheck, GoodFilePrintsCountsAndOk) {
    const std::string path = toolfiles::WriteFile("good.txt", kTriangleFile);
    toolfiles::Captured io;
    EXPECT_EQ(patchtool::RunCheck({{path}, true}, io.console), patchtool::kExitOk);
    EXPECT_EQ(io.out.str(),
              path + ": 1 patch object, 3 vertices, 9 vectors, 1 patch (1 triangular, 0 quadrilateral), 1 camera\n" +
                  path + ": ok\n");
    EXPECT_EQ(io.err.str(), "");
}

struct Suspicious {
    const char* name;
    std::string text;
    std::vector<std::string> warnings;  // ":line:column: warning: text" each
};

TEST(PatchtextCheck, LegalButSuspiciousFilesWarnAtTheirPlace) {
    const std::string good = kTriangleFile;
    const std::string longNumber = "0." + std::string(100, '0');
    const Suspicious cases[] = {
        {"version_1_0",
         Replace(good, "1.10", "1.0"),
         {":1:9: warning: version 1.0 is not the format's 1.10; the reader reads no cameras from it",
          ":25:1: warning: 10 tokens follow the end of the data; the reader ignores them"}},
        {"version_1_2", Replace(good, "1.10", "1.2"), {":1:9: warning: version 1.2 is not the format's 1.10"}},
        {"vertex_outside",
         Replace(good, "VERTS 0 1 2", "VERTS 0 1 7"),
         {":7:3: warning: patch object 0: 1 vertex used by no patch (the first is vertex 2)",
          ":21:14: warning: patch object 0, patch 0: VERTS slot 2 is 7, outside the 3 vertices"}},
        {"no_interior",
         Replace(good, "INTERIOR 6 7 8", "INTERIOR 6 7 -1"),
         {":17:3: warning: patch object 0: 1 vector used by no patch (the first is vector 8)",
          ":23:17: warning: patch object 0, patch 0: INTERIOR slot 2 is -1: the patch has no vector there"}},
        {"vector_outside",
         Replace(good, "VECS 0 1 2 3 4 5", "VECS 0 1 2 3 4 -9"),
         {":14:3: warning: patch object 0: 1 vector used by no patch (the first is vector 5)",
          ":22:19: warning: patch object 0, patch 0: VECS slot 5 is -9, outside the 9 vectors"}},
        {"self_neighbour",
         Replace(good, "ADJACENT -1 -1 -1", "ADJACENT -1 0 -1"),
         {":24:16: warning: patch object 0, patch 0: ADJACENT slot 1 names the patch itself as its neighbour"}},
        {"neighbour_outside",
         Replace(good, "ADJACENT -1 -1 -1", "ADJACENT -1 -1 3"),
         {":24:19: warning: patch object 0, patch 0: ADJACENT slot 2 is 3, outside the 1 patch"}},
        {"non_finite",
         Replace(Replace(good, "\t\t1\t10.000000", "\t\t1\tinf"), "CAMERA 0\t0.000000", "CAMERA 0\tnan"),
         {":6:5: warning: patch object 0, vertex 1: x is infinite",
          ":26:10: warning: camera 0: position x is not a number"}},
        {"trailing_text",
         good + "}\nEND OF FILE\n",
         {":28:1: warning: 3 tokens follow the end of the data; the reader ignores them"}},
        {"long_token",
         Replace(good, "0.000000 0.000000 0.000000\n", "0.000000 0.000000 " + longNumber + "\n"),
         {":26:59: warning: 1 token is longer than 79 characters: the reader cuts each in two and drops a character",
          ":26:139: warning: 1 token follows the end of the data; the reader ignores it"}},
    };
    for (const Suspicious& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = toolfiles::WriteFile(std::string(c.name) + ".txt", c.text);
        toolfiles::Captured io;
        EXPECT_EQ(patchtool::RunCheck({{path}, false}, io.console), patchtool::kExitOk) << io.err.str();
        std::string expected;
        for (const std::string& w : c.warnings) expected += path + w + "\n";
        EXPECT_EQ(io.err.str(), expected);
        const std::string count =
            std::to_string(c.warnings.size()) + (c.warnings.size() == 1 ? " warning" : " warnings");
        EXPECT_NE(io.out.str().find(path + ": " + count + "\n"), std::string::npos) << io.out.str();

        toolfiles::Captured strict;
        EXPECT_EQ(patchtool::RunCheck({{path}, true}, strict.console), patchtool::kExitBadFile);
        EXPECT_NE(strict.out.str().find("failed, " + count + " (--strict)"), std::string::npos);
    }
}

// Two triangles written by the writer; the first names the second as its
// neighbour on edge 0, the second names nobody.
TEST(PatchtextCheck, OneSidedAdjacencyIsNotMutual) {
    ExportPatchObject object;
    meshobjects::AddTriangle(object, {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    meshobjects::AddTriangle(object, {1, 0, 0}, {0, 0, 0}, {0, -1, 0});
    ExportPatchObject linked;
    for (std::int32_t i = 0; i < object.NumVerts(); ++i) linked.AddVert(object.VertAt(i));
    for (std::int32_t i = 0; i < object.NumVecs(); ++i) linked.AddVec(object.VecAt(i));
    ExportPatch first = object.PatchAt(0);
    first.adjacent[0] = 1;
    linked.AddPatch(first);
    linked.AddPatch(object.PatchAt(1));
    PatchIO set;
    set.AddPatchObject(linked);
    const std::string path = toolfiles::TempPath("one_sided.txt");
    ASSERT_EQ(set.Write(path.c_str()), 1);
    const int line = toolfiles::LineOf(toolfiles::ReadFile(path), "PATCH 0") + 5;
    toolfiles::Captured io;
    EXPECT_EQ(patchtool::RunCheck({{path}, false}, io.console), patchtool::kExitOk);
    EXPECT_EQ(io.err.str(), path + ":" + std::to_string(line) +
                                ":13: warning: patch object 0, patch 0: ADJACENT slot 0 names patch 1, which does not "
                                "name patch 0 back\n");
}

// Numbers that the reader takes only in part (atof's and atoi's longest
// prefix) read, and are warned about at their token with what they read as.
TEST(PatchtextCheck, NumbersReadOnlyInPartWarnWithWhatTheyReadAs) {
    const std::string good = kTriangleFile;
    const struct {
        const char* name;
        std::string text;
        const char* warning;
    } cases[] = {
        {"comma_decimal", Replace(good, "\t10.000000\t0.000000\t0.000000", "\t10,5\t0.000000\t0.000000"),
         ":6:5: warning: \"10,5\" is not wholly a number: the reader takes it as 10"},
        {"letters_after", Replace(good, "7.500000\t0.000000", "7.5abc\t0.000000"),
         ":10:5: warning: \"7.5abc\" is not wholly a number: the reader takes it as 7.5"},
        {"letters_only", Replace(good, "-200.000000", "abc"),
         ":26:19: warning: \"abc\" is not wholly a number: the reader takes it as 0"},
        {"hexadecimal", Replace(good, "50.500000", "0x10"),
         ":26:31: warning: \"0x10\" is not wholly a number: the reader takes it as 16"},
        {"fraction_for_an_index", Replace(good, "VERTS 0 1 2", "VERTS 0 1.7 2"),
         ":21:12: warning: \"1.7\" is not wholly an integer: the reader takes it as 1"},
        {"running_index_with_letters", Replace(good, "\t\t1\t10.0", "\t\t1x\t10.0"),
         ":6:3: warning: \"1x\" is not wholly an integer: the reader takes it as 1"},
        {"count_beyond_32_bits", Replace(good, "INTERIOR 6 7 8", "INTERIOR 6 7 99999999999"),
         ":23:17: warning: \"99999999999\" is not wholly an integer: the reader takes it as 2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = toolfiles::WriteFile(std::string(c.name) + ".txt", c.text);
        toolfiles::Captured io;
        EXPECT_EQ(patchtool::RunCheck({{path}, false}, io.console), patchtool::kExitOk);
        EXPECT_NE(io.err.str().find(path + c.warning + "\n"), std::string::npos) << io.err.str();
        toolfiles::Captured strict;
        EXPECT_EQ(patchtool::RunCheck({{path}, true}, strict.console), patchtool::kExitBadFile);
    }
    // What the writer writes, and what people write by hand, reads whole.
    for (const char* whole : {"+7.5", "-0.25", "1e3", ".5", "inf", "-nan", "7"}) {
        SCOPED_TRACE(whole);
        EXPECT_EQ(patchtool::PartialNumber(false, whole), "");
    }
    for (const char* whole : {"0", "-1", "+12", "2147483647", "-2147483648"})
        EXPECT_EQ(patchtool::PartialNumber(true, whole), "");
}

TEST(PatchtextCheck, ManyWarningsOfOneKindAreSummarised) {
    std::string text = kTriangleFile;
    text = Replace(text, "NUMVERTS 3", "NUMVERTS 28");
    std::string extra;
    for (int j = 3; j < 28; ++j) extra += "\t\t" + std::to_string(j) + "\t1.000000\t1.000000\tnan\n";
    text = Replace(text, "\tNUMVECS", extra + "\tNUMVECS");
    const std::string path = toolfiles::WriteFile("many.txt", text);
    toolfiles::Captured io;
    EXPECT_EQ(patchtool::RunCheck({{path}, false}, io.console), patchtool::kExitOk);
    const std::string err = io.err.str();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 10 + 1 + 1);  // ten kept, the unused vertices, the note
    EXPECT_NE(err.find(path + ": note: 15 more warnings of the same kinds not shown\n"), std::string::npos) << err;
    EXPECT_NE(io.out.str().find(path + ": 26 warnings\n"), std::string::npos);
}

TEST(PatchtextCheck, SeveralFilesAnswerTheWorstOutcome) {
    const std::string good = toolfiles::WriteFile("several_good.txt", kTriangleFile);
    const std::string bad = toolfiles::WriteFile("several_bad.txt", Replace(kTriangleFile, "SIDES 3", "SIDES 2"));
    const std::string missing = toolfiles::TempPath("several_missing.txt");
    toolfiles::Captured a, b;
    EXPECT_EQ(patchtool::RunCheck({{good, bad}, false}, a.console), patchtool::kExitBadFile);
    EXPECT_NE(a.out.str().find(good + ": ok"), std::string::npos);
    EXPECT_EQ(patchtool::RunCheck({{bad, missing, good}, false}, b.console), patchtool::kExitUsage);
}

}  // namespace
