// The host program's parts: loading a plug-in, discovery, one export run
// through the panel, and the summary.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "desktop/Desktop.h"
#include "host/HostApi.h"
#include "hostapp/BatchExport.h"
#include "hostapp/BatchReport.h"
#include "hostapp/Commands.h"
#include "hostapp/Discovery.h"
#include "hostapp/ExportSession.h"
#include "hostapp/ExportSummary.h"
#include "hostapp/MemorySize.h"
#include "hostapp/PluginLibrary.h"
#include "memhost/MemoryHost.h"
#include "os/Cores.h"

namespace fs = std::filesystem;

namespace {

const std::string kData = std::string(GANTLINE_TEST_DATA) + "/hostapp/";

MemoryPatchMesh Triangle() {
    MemoryPatchMesh mesh;
    mesh.verts = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.vecs.resize(9);
    HostPatch patch;
    patch.type = 3;
    for (int i = 0; i < 3; ++i) {
        patch.vertIndex[i] = i;
        patch.interiorIndex[i] = 6 + i;
    }
    for (int i = 0; i < 6; ++i) patch.vecIndex[i] = i;
    mesh.patches = {patch};
    return mesh;
}

std::unique_ptr<MemoryNode> TwoTriangles() {
    auto root = std::make_unique<MemoryNode>("root");
    root->AddChild("a")->SetObject(MemoryObject::PatchObject(Triangle()));
    root->AddChild("b")->SetObject(MemoryObject::PatchObject(Triangle()));
    return root;
}

TEST(HostExportSummary, CountsTheFilesCountLines) {
    const std::optional<ExportSummary> summary = SummariseFile(kData + "count_lines.txt");
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->patchObjects, 2);
    EXPECT_EQ(summary->patches, 7);
    EXPECT_EQ(summary->cameras, 5);
    EXPECT_EQ(summary->bytes, fs::file_size(kData + "count_lines.txt"));
}

TEST(HostExportSummary, NothingForAFileThatCannotBeRead) { EXPECT_FALSE(SummariseFile(kData + "no-such-file.txt")); }

TEST(HostExportSummary, PrintsOneLabelledLineEach) {
    ExportSummary summary;
    summary.patchObjects = 3;
    summary.patches = 58;
    summary.cameras = 1;
    summary.bytes = 12345;
    EXPECT_EQ(FormatSummary(summary, "/x/y.txt"),
              "patch objects: 3\npatches: 58\ncameras: 1\nbytes: 12345\nfile: /x/y.txt\n");
}

TEST(HostCommands, DefaultOutputIsTheScenesNameWithTxt) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "gantline_scene.txt"},
        {"teapot.bpt", "teapot.txt"},
        {"some/folder/box.obj", "box.txt"},
        {"a.b.json", "a.b.txt"},
    };
    for (const auto& [scene, output] : cases) EXPECT_EQ(DefaultOutputName(scene), output) << scene;
}

DiscoveryAnswers GoodAnswers() {
    static int descriptorStandIn = 0;
    DiscoveryAnswers answers;
    answers.description = "Gantline";
    answers.classCount = 1;
    answers.version = HostInterfaceVersion;
    answers.descriptor = reinterpret_cast<HostClassDesc*>(&descriptorStandIn);
    answers.firstClass.classLabel = "Ferrule";
    answers.firstClass.superClassCode = UtilitySuperClassCode;
    return answers;
}

struct ProblemCase {
    const char* name;
    void (*spoil)(DiscoveryAnswers&);
    const char* mentions;
};

TEST(HostDiscovery, NamesEveryReasonTheHostCannotUseThePlugin) {
    EXPECT_TRUE(DiscoveryProblems(GoodAnswers()).empty());
    const ProblemCase cases[] = {
        {"version", [](DiscoveryAnswers& a) { a.version = 0x09C40400u; }, "0x09C40400"},
        {"no classes", [](DiscoveryAnswers& a) { a.classCount = 0; }, "no classes"},
        {"no descriptor", [](DiscoveryAnswers& a) { a.descriptor = nullptr; }, "no descriptor"},
        {"not a utility", [](DiscoveryAnswers& a) { a.firstClass.superClassCode = 0x10u; }, "not a utility"},
        {"no name", [](DiscoveryAnswers& a) { a.firstClass.classLabel.reset(); }, "no name"},
    };
    for (const ProblemCase& c : cases) {
        DiscoveryAnswers answers = GoodAnswers();
        c.spoil(answers);
        const std::vector<std::string> problems = DiscoveryProblems(answers);
        ASSERT_EQ(problems.size(), 1u) << c.name;
        EXPECT_NE(problems[0].find(c.mentions), std::string::npos) << problems[0];
    }
}

TEST(HostPluginLibrary, SaysWhyALibraryCannotBeUsed) {
    std::string error;
    EXPECT_FALSE(PluginLibrary::Load(kData + "no-such.dlu", error).Loaded());
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(PluginLibrary::Load(GANTLINE_HOST_LIBRARY, error).Loaded());
    EXPECT_EQ(error, "the library does not export LibDescription");
}

class HostWithPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("ferrule-hostapp-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        plugin = PluginLibrary::Load(FERRULE_PLUGIN_PATH, error);
        ASSERT_TRUE(plugin.Loaded()) << error;
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path Scratch(const std::string& name) const { return folder / name; }

    fs::path folder;
    std::string error;
    PluginLibrary plugin;
};

TEST_F(HostWithPlugin, DiscoveryCopiesEachTextBeforeTheNextCall) {
    const DiscoveryAnswers answers = Discover(plugin.Exports());
    EXPECT_EQ(answers.description, "Gantline");
    EXPECT_EQ(answers.firstClass.classLabel, "Ferrule");
    EXPECT_EQ(answers.firstClass.categoryLabel, "Harrow Tools");
    EXPECT_EQ(answers.classCount, 1);
    EXPECT_EQ(answers.version, HostInterfaceVersion);
    EXPECT_TRUE(DiscoveryProblems(answers).empty());
    const std::string text = DescribeDiscovery(answers);
    EXPECT_NE(text.find("0x84A95E7B 0x6BBB8DB1"), std::string::npos) << text;
}

TEST_F(HostWithPlugin, RunsOneExportThroughThePanel) {
    const DiscoveryAnswers answers = Discover(plugin.Exports());
    const std::string path = Scratch("run.txt").string();
    Interface* coreBefore = GetCOREInterface();
    const ExportRun run = RunExport(*answers.descriptor, TwoTriangles(), path, "/start/here");
    EXPECT_EQ(run.problem, "");
    EXPECT_EQ(run.pageTitle, "Parameters");
    EXPECT_EQ(run.caption, "Gantline V0.10");
    EXPECT_EQ(run.buttonText, "Export...");
    EXPECT_TRUE(run.pressed);
    EXPECT_TRUE(run.saveAsked);
    EXPECT_EQ(run.saveRequest.title, "Save A File");
    EXPECT_EQ(run.saveRequest.initialDir, "/start/here");
    EXPECT_TRUE(run.Opened(path));
    EXPECT_TRUE(run.pageRemoved);
    const std::optional<ExportSummary> summary = SummariseFile(path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->patchObjects, 2);
    EXPECT_EQ(summary->patches, 2);
    EXPECT_EQ(summary->cameras, 0);

    EXPECT_EQ(GetCOREInterface(), coreBefore) << "the run puts the core interface back";
    EXPECT_FALSE(desktop::SetSaveHandler(nullptr)) << "and the save handler";
    EXPECT_FALSE(desktop::SetShellHandler(nullptr)) << "and the shell handler";
    EXPECT_EQ(desktop::OpenPages(), 0u);
}

TEST_F(HostWithPlugin, AFileThatCannotBeWrittenIsNeverOpened) {
    const DiscoveryAnswers answers = Discover(plugin.Exports());
    const std::string path = Scratch("missing/run.txt").string();
    const ExportRun run = RunExport(*answers.descriptor, TwoTriangles(), path, "/");
    EXPECT_TRUE(run.pressed);
    EXPECT_TRUE(run.saveAsked);
    EXPECT_TRUE(run.shellCalls.empty());
    EXPECT_FALSE(run.Opened(path));
}

}  // namespace

namespace {

TEST(HostMemorySize, ReadsSizesWithUnitsOfPowersOf1024) {
    const struct {
        const char* text;
        std::uint64_t bytes;
    } cases[] = {{"1000000", 1000000}, {"512K", 512u << 10}, {"512kb", 512u << 10},
                 {"48M", 48u << 20},   {"48MiB", 48u << 20}, {"12G", 12ull << 30},
                 {"1.5g", 3ull << 29}, {"2T", 2ull << 40},   {"100B", 100}};
    for (const auto& c : cases) {
        const std::optional<std::uint64_t> bytes = ParseMemorySize(c.text);
        ASSERT_TRUE(bytes.has_value()) << c.text;
        EXPECT_EQ(*bytes, c.bytes) << c.text;
    }
    for (const char* bad : {"", "G", "0", "0.1B", "-1G", "1.2.3M", "12x", "1 G", "99999999T"})
        EXPECT_FALSE(ParseMemorySize(bad).has_value()) << bad;
}

TEST(HostMemorySize, ShowsTheLargestWholeUnit) {
    EXPECT_EQ(FormatMemorySize(12ull << 30), "12 GiB");
    EXPECT_EQ(FormatMemorySize(3ull << 29), "1.5 GiB");
    EXPECT_EQ(FormatMemorySize(48u << 20), "48 MiB");
    EXPECT_EQ(FormatMemorySize(1024), "1 KiB");
    EXPECT_EQ(FormatMemorySize(1000), "1000 bytes");
}

}  // namespace

namespace {

TEST(HostBatchReport, WritesOneEscapedRecordPerInput) {
    const std::vector<BatchRecord> records = {
        {"a \"b\".obj", "/o/a \"b\".obj.txt", "exported", "", 1, 2, 0, 0.25, 4096},
        {"c\\d.ply", "/o/c\\d.ply.txt", "refused", "c\\d.ply: line\none\ttab\x01", 0, 0, 0, 1.5, 0},
    };
    EXPECT_EQ(ReportJson(records),
              "[\n"
              "  {\"input\": \"a \\\"b\\\".obj\", \"output\": \"/o/a \\\"b\\\".obj.txt\", \"status\": \"exported\", "
              "\"message\": \"\", \"patchObjects\": 1, \"patches\": 2, \"cameras\": 0, \"seconds\": 0.250, "
              "\"peakBytes\": 4096},\n"
              "  {\"input\": \"c\\\\d.ply\", \"output\": \"/o/c\\\\d.ply.txt\", \"status\": \"refused\", "
              "\"message\": \"c\\\\d.ply: line\\none\\ttab\\u0001\", \"patchObjects\": 0, \"patches\": 0, "
              "\"cameras\": 0, \"seconds\": 1.500, \"peakBytes\": 0}\n"
              "]\n");
    EXPECT_EQ(ReportJson({}), "[\n]\n");
}

TEST(HostBatchReport, GroupsReasonsWithoutNamesAndNumbers) {
    const std::vector<BatchRecord> records = {
        {"x.ply", "", "refused", "x.ply: the file ends after 2 of the 6 faces that its header declares", 0, 0, 0, 0, 0},
        {"y.ply", "", "refused", "y.ply: the file ends after 10 of the 12 faces that its header declares", 0, 0, 0, 0,
         0},
        {"z.obj", "", "refused", "z.obj: the file holds no faces", 0, 0, 0, 0, 0},
        {"w.obj", "", "exported", "", 0, 0, 0, 0, 0},
    };
    EXPECT_EQ(Reason(records[0]), "the file ends after N of the N faces that its header declares");
    EXPECT_EQ(BatchSummary(records, 0),
              "exported: 1\n"
              "refused: 3\n"
              "  2  the file ends after N of the N faces that its header declares\n"
              "  1  the file holds no faces\n"
              "failed: 0\n");
    EXPECT_EQ(BatchSummary({}, 4), "exported: 0\nrefused: 0\nfailed: 0\ninterrupted: 4 not finished\n");
}

// A batch's jobs share the cores and the memory: only as many jobs as
// there are inputs ever run, and a count given stays as it is.
TEST(BatchShares, DivideAmongTheJobsThatRun) {
    const unsigned cores = os::UsableCores();
    struct Case {
        unsigned jobs;
        std::size_t inputs;
        std::int32_t threads;
        std::uint64_t memory;
        unsigned sharedJobs;
        std::int32_t sharedThreads;
        std::uint64_t sharedMemory;
    };
    const std::uint64_t shared = std::uint64_t{8} << 30;
    const Case cases[] = {
        {16, 2, 0, 0, 2, static_cast<std::int32_t>(std::max(1u, cores / 2)), shared / 2},
        {16, 0, 0, 0, 1, static_cast<std::int32_t>(cores), shared},
        {1, 50, 0, 0, 1, static_cast<std::int32_t>(cores), shared},
        {4096, 4096, 0, 0, 4096, 1, shared / 4096},
        {16, 2, 3, 1 << 20, 2, 3, 1 << 20},
    };
    for (const Case& c : cases) {
        BatchOptions options;
        options.jobs = c.jobs;
        options.threads = c.threads;
        options.memoryLimit = c.memory;
        options.sharedMemory = shared;
        const BatchOptions got = SharedAmongJobs(options, c.inputs);
        EXPECT_EQ(got.jobs, c.sharedJobs) << c.jobs << " jobs, " << c.inputs << " inputs";
        EXPECT_EQ(got.threads, c.sharedThreads) << c.jobs << " jobs, " << c.inputs << " inputs";
        EXPECT_EQ(got.memoryLimit, c.sharedMemory) << c.jobs << " jobs, " << c.inputs << " inputs";
    }
}

}  // namespace
