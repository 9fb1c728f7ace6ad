// Inputs the fuzz targets found, replayed. Each file under
// data/faults/reader reads the same with and without a reason, and the
// finding behind each is checked where it went wrong.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/MemoryHost.h"
#include "patchio/PatchIO.h"

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

}  // namespace
