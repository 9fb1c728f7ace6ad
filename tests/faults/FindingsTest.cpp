// Inputs the fuzz targets found, replayed. Each file under
// data/faults/reader reads the same with and without a reason, and the
// finding behind each is checked where it went wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "memhost/MemoryHost.h"
#include "patchio/NumberParse.h"
#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFindings = fs::path(GANTLINE_TEST_DATA) / "faults" / "reader";

std::vector<fs::path> Findings() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kFindings)) files.push_back(entry.path());
    return files;
}

TEST(Findings, EachReadsTheSameWithAndWithoutAReason) {
    const std::vector<fs::path> files = Findings();
    ASSERT_FALSE(files.empty());
    for (const fs::path& file : files) {
        PatchIO plain;
        PatchIO explained;
        ReadFailure why;
        const std::int32_t result = plain.Read(file.string().c_str());
        EXPECT_EQ(explained.Read(file.string().c_str(), &why), result) << file;
        EXPECT_EQ(plain.NumPatchObjects(), explained.NumPatchObjects()) << file;
        EXPECT_EQ(plain.NumCameras(), explained.NumCameras()) << file;
        EXPECT_EQ(why.Message().empty(), result == 1) << file;
    }
}

// Every read of a file with an unknown version (here 10) raises an
// assertion report. The in-memory host kept every report, so a process
// reading such files one after another grew without end, until a single
// allocation of the list took hundreds of megabytes.
TEST(Findings, ReportsOfManyReadsStayBounded) {
    const std::string file = (kFindings / "unknown-version-reports.txt").string();
    ClearAssertReports();
    constexpr int kReads = 3000;
    for (int i = 0; i < kReads; ++i) {
        PatchIO set;
        ASSERT_EQ(set.Read(file.c_str()), 0);
    }
    ASSERT_FALSE(AssertReports().empty());
    EXPECT_EQ(AssertReports().front().file, "PatchIO");
    EXPECT_LT(AssertReports().size(), static_cast<std::size_t>(kReads));
    ClearAssertReports();
    EXPECT_TRUE(AssertReports().empty());
}

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The polygon mesh reader converted the joint number of a vertex-weight
// statement ("vw") to int without a range check: undefined behaviour for
// 4.4e21, which the sanitizer build stops on. Vertex weights are of no use
// to the host, so the loader no longer hands them to the reader.
TEST(Findings, PolygonMeshesWithVertexWeightsLoadWithoutThem) {
    const fs::path folder = fs::path(GANTLINE_TEST_DATA) / "faults" / "obj_loader";
    for (const auto& entry : fs::directory_iterator(folder)) {
        const ObjectLoad load = LoadPolygonMeshText(FileText(entry.path()), entry.path().filename().string());
        EXPECT_EQ(load.object == nullptr, !load.error.empty()) << entry.path();
    }
    const std::string mesh = "v 0 0 0\nv 1 0 0\r  vw 0 44444444444444444444 0.5\r\nv 0 1 0\n\tvw 1 -1e300 1\nf 1 2 3\n";
    const ObjectLoad load = LoadPolygonMeshText(mesh, "weights.obj");
    ASSERT_NE(load.object, nullptr) << load.error;
    HostObject* converted = load.object->Become(0, PatchObjectType);
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(converted->PatchData()->VertCount(), 3);
    EXPECT_EQ(converted->PatchData()->PatchCount(), 1);
    converted->DeleteMe();
}

// Hexadecimal numbers whose exponent mark is followed by two signs: atof
// (and strtod) take the exponent as missing and read the digits before it;
// the parser, through from_chars, took "p+-5" as the exponent -5, and with
// a long mantissa answered infinity instead of a finite value. The parser
// now ends the number before a mark that starts no proper exponent.
TEST(Findings, AHexExponentWithTwoSignsIsNoExponent) {
    for (const char* text : {"0x1p+-5", "0x1p-+5", "0x18p+-", "0x7777777777000000000000000000000000000000p+-0007",
                             "1e+-5", "2.5e", "0x.8p", "0x1.8p+3", "1e-5", "7E+2x", "0x1P-2"}) {
        EXPECT_EQ(numparse::ToDouble(text), std::strtod(text, nullptr)) << text;
        EXPECT_EQ(numparse::ToFloat(text), static_cast<float>(std::strtod(text, nullptr))) << text;
    }
    const std::string file =
        (fs::path(GANTLINE_TEST_DATA) / "faults" / "number_parse" / "hex-exponent-signs.txt").string();
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(numparse::ToDouble(text.c_str()), std::strtod(text.c_str(), nullptr));
}

}  // namespace
