// ferrule-host end to end: exit codes, messages, help and the summary.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "patchio/PatchIO.h"
#include "loaders/ImportTestSupport.h"

namespace fs = std::filesystem;

namespace {

#ifdef GANTLINE_ALLOCATION_REPORTED
constexpr bool kAllocationReported = true;
#else
constexpr bool kAllocationReported = false;
#endif

const std::string kData = std::string(GANTLINE_TEST_DATA) + "/";

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class HostProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("ferrule-host-test-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Runs the program in the scratch folder, without a desktop, after the
    // shell commands in setUp.
    Outcome Run(const std::string& arguments, const std::string& setUp = "") {
        const std::string command = "cd '" + folder.string() + "' && " + setUp + "env -u DISPLAY -u WAYLAND_DISPLAY '" +
                                    FERRULE_HOST_PATH + "' " + arguments + " >out.log 2>err.log";
        Outcome outcome;
        const int status = std::system(command.c_str());
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = Slurp(folder / "out.log");
        outcome.err = Slurp(folder / "err.log");
        return outcome;
    }

    fs::path folder;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(HostProgram, ExportsTheDefaultSceneToANameInTheCurrentFolder) {
    const Outcome o = Run("export --no-open");
    ASSERT_EQ(o.code, 0) << o.err;
    const fs::path written = folder / "gantline_scene.txt";
    ASSERT_TRUE(fs::exists(written));
    EXPECT_TRUE(Has(o.out, "file: " + written.string() + "\n")) << o.out;
    EXPECT_TRUE(Has(o.out, "bytes: " + std::to_string(fs::file_size(written)) + "\n")) << o.out;
    EXPECT_TRUE(Has(o.out, "patch objects: ")) << o.out;
    EXPECT_TRUE(Has(o.out, "patches: ")) << o.out;
    EXPECT_TRUE(Has(o.out, "cameras: ")) << o.out;
    EXPECT_FALSE(Has(o.out, "patch objects: 0\n")) << "the default scene has patch objects";
    EXPECT_EQ(o.err, "") << "no progress line when stderr is not a terminal";
    EXPECT_EQ(Slurp(written).rfind("VERSION\t1.10\n", 0), 0u);
}

TEST_F(HostProgram, ExportsEachKindOfSceneFile) {
    const struct {
        std::string scene;
        const char* written;
        const char* objects;
    } cases[] = {
        {kData + "hostapp/quad.obj", "quad.txt", "patch objects: 1\n"},
        {kData + "teapot.bpt", "teapot.txt", "patch objects: 1\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run("export '" + c.scene + "' --no-open");
        EXPECT_EQ(o.code, 0) << c.scene << ": " << o.err;
        EXPECT_TRUE(fs::exists(folder / c.written)) << c.written;
        EXPECT_TRUE(Has(o.out, c.objects)) << o.out;
        EXPECT_TRUE(Has(o.out, "cameras: 0\n")) << o.out;
    }
}

TEST_F(HostProgram, WritesWhereTheOutputOptionSays) {
    const Outcome o = Run("export -o named.txt --no-open");
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_TRUE(fs::exists(folder / "named.txt"));
    EXPECT_FALSE(fs::exists(folder / "gantline_scene.txt"));
    const Outcome again = Run("export --output named.txt --no-open");
    EXPECT_EQ(again.code, 0) << "an existing file is overwritten";
    EXPECT_EQ(Slurp(folder / "named.txt").size(), fs::file_size(folder / "named.txt"));
}

TEST_F(HostProgram, WithoutNoOpenAsksTheDesktopToOpenTheFile) {
    const Outcome o = Run("export -o shown.txt");
    EXPECT_EQ(o.code, 0) << o.err;
    EXPECT_TRUE(Has(o.err, (folder / "shown.txt").string())) << "without a desktop it names the file: " << o.err;
}

TEST_F(HostProgram, FileThatCannotBeWrittenExitsOne) {
    const Outcome o = Run("export -o no/such/folder/out.txt --no-open");
    EXPECT_EQ(o.code, 1);
    EXPECT_TRUE(Has(o.err, "could not write " + (folder / "no/such/folder/out.txt").string())) << o.err;
    EXPECT_EQ(o.out, "");
}

// A file-size limit of 8 KiB stops the default scene's 16 KiB export
// midway: with its signal ignored the write fails, with the signal the
// program is killed. Either way the file that was there stays.
TEST_F(HostProgram, AnExportThatFailsOrIsKilledMidwayKeepsTheOldFile) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed" : "failed");
        std::ofstream(folder / "scene.txt") << "old\n";
        const Outcome o =
            Run("export -o scene.txt --no-open", killed ? "ulimit -f 16; " : "trap '' XFSZ; ulimit -f 16; ");
        if (killed) {
            EXPECT_NE(o.code, 0);
        } else {
            EXPECT_EQ(o.code, 1);
            EXPECT_TRUE(Has(o.err, "could not write")) << o.err;
        }
        EXPECT_EQ(Slurp(folder / "scene.txt"), "old\n");
    }
}

TEST_F(HostProgram, SceneThatCannotBeLoadedExitsTwo) {
    const std::string cases[] = {kData + "hostapp/no-such.obj", kData + "hostapp/broken.json",
                                 kData + "hostapp/scene.dat"};
    for (const std::string& scene : cases) {
        const Outcome o = Run("export '" + scene + "' -o out.txt --no-open");
        EXPECT_EQ(o.code, 2) << scene;
        EXPECT_TRUE(Has(o.err, "cannot load the scene")) << o.err;
        EXPECT_FALSE(fs::exists(folder / "out.txt"));
    }
}

TEST_F(HostProgram, PluginThatCannotBeUsedExitsTwo) {
    const struct {
        std::string arguments;
        const char* says;
    } cases[] = {
        {"--plugin /no/such/Ferrule.dlu export --no-open", "cannot load the plug-in /no/such/Ferrule.dlu"},
        {std::string("--plugin '") + GANTLINE_HOST_LIBRARY + "' info", "does not export LibDescription"},
        {"export --no-open --plugin /no/such.dlu", "cannot load the plug-in /no/such.dlu"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.arguments);
        EXPECT_EQ(o.code, 2) << c.arguments;
        EXPECT_TRUE(Has(o.err, c.says)) << o.err;
    }
}

TEST_F(HostProgram, PluginOptionNamesTheLibraryToLoad) {
    const Outcome o = Run(std::string("--plugin '") + FERRULE_PLUGIN_PATH + "' export -o x.txt --no-open");
    EXPECT_EQ(o.code, 0) << o.err;
}

TEST_F(HostProgram, BadUsageExitsTwo) {
    for (const char* arguments :
         {"", "frobnicate", "export --bogus", "export a.obj b.obj", "export -o", "info extra"}) {
        const Outcome o = Run(arguments);
        EXPECT_EQ(o.code, 2) << arguments;
        EXPECT_NE(o.err, "") << arguments;
    }
}

TEST_F(HostProgram, OutputPathLongerThanThePluginTakesExitsTwo) {
    const Outcome o = Run("export -o " + std::string(300, 'x') + ".txt --no-open");
    EXPECT_EQ(o.code, 2);
    EXPECT_TRUE(Has(o.err, "longer than 259 characters")) << o.err;
}

TEST_F(HostProgram, HelpIsThereForEachCommand) {
    const struct {
        const char* arguments;
        const char* mentions;
    } cases[] = {
        {"--help", "export"},         {"-h", "info"}, {"export --help", "--no-open"}, {"export -h", "SCENE"},
        {"info --help", "discovery"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.arguments);
        EXPECT_EQ(o.code, 0) << c.arguments;
        EXPECT_TRUE(Has(o.out, "Usage")) << c.arguments << ": " << o.out;
        EXPECT_TRUE(Has(o.out, c.mentions)) << c.arguments << ": " << o.out;
    }
}

TEST_F(HostProgram, InfoPrintsWhatDiscoveryAnswered) {
    const Outcome o = Run("info");
    ASSERT_EQ(o.code, 0) << o.err;
    for (const char* line :
         {"description     Gantline\n", "classes         1\n", "version stamp   0x09C40500 (2500, 5, 0)\n",
          "class 0         Ferrule\n", "  category      Harrow Tools\n", "  class code    0x84A95E7B 0x6BBB8DB1\n",
          "  super-class   0x00001020 (utility)\n", "  public        yes\n"})
        EXPECT_TRUE(Has(o.out, line)) << line << "\n" << o.out;
}

// A real COLLADA model (Debian's assimp-testmodels), exported end to end and
// read back: the patches its polygon list makes (a triangle or quadrilateral
// each, a fan of n - 2 triangles for a larger polygon, counted here from
// the file's <vcount>) and its camera.
TEST_F(HostProgram, ExportsAnotherToolsSceneEndToEnd) {
    const std::string duck = "/usr/share/assimp/models/Collada/duck.dae";
    REQUIRE_TEST_MODEL("Collada/duck.dae");
    const std::string xml = Slurp(duck);
    const std::size_t from = xml.find("<vcount>") + 8;
    std::istringstream sides(xml.substr(from, xml.find("</vcount>") - from));
    std::int32_t patches = 0;
    for (int n = 0; sides >> n;) patches += n <= 4 ? 1 : n - 2;
    const Outcome o = Run("export '" + duck + "' -o out.txt --no-open");
    ASSERT_EQ(o.code, 0) << o.err;
    PatchIO set;
    ASSERT_EQ(set.Read((folder / "out.txt").string().c_str()), 1);
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.PatchObjectAt(0).NumPatches(), patches);
    EXPECT_EQ(set.NumCameras(), 1);
}

TEST_F(HostProgram, BrokenSceneOfAnotherToolExitsTwoAndWritesNothing) {
    const std::string broken = "/usr/share/assimp/models/glTF2/IndexOutOfRange/IndexOutOfRange.gltf";
    REQUIRE_TEST_MODEL("glTF2/IndexOutOfRange/IndexOutOfRange.gltf");
    const Outcome o = Run("export '" + broken + "' -o out.txt --no-open");
    EXPECT_EQ(o.code, 2);
    EXPECT_TRUE(Has(o.err, broken + ": ")) << o.err;
    EXPECT_FALSE(fs::exists(folder / "out.txt"));
}

TEST_F(HostProgram, FormatsListsTheLoadableExtensions) {
    const Outcome o = Run("formats");
    EXPECT_EQ(o.code, 0) << o.err;
    for (const char* extension : {".json ", ".bpt ", ".obj ", ".dae ", ".fbx ", ".gltf ", ".3ds ", ".stl "})
        EXPECT_TRUE(Has(o.out, extension)) << o.out;
}

}  // namespace

namespace {

// A binary STL of count triangles, each one of its own (no position is
// shared, so none is welded away).
void WriteBinaryStl(const fs::path& path, std::uint32_t count) {
    std::string bytes(80, ' ');
    bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
    std::string triangle(50, '\0');
    for (std::uint32_t t = 0; t < count; ++t) {
        const float corners[12] = {0, 0, 1, float(t), 0, 0, float(t), 1, 0, float(t), 0, 1};
        std::memcpy(&triangle[0], corners, sizeof corners);
        bytes += triangle;
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

// A file that needs more memory than the child may take is refused at
// once with the limit named, and the file it would replace stays.
TEST_F(HostProgram, ASceneThatNeedsMoreThanTheMemoryLimitIsRefused) {
    if (kAllocationReported) GTEST_SKIP() << "AddressSanitizer ends a refused allocation with its own report";
    WriteBinaryStl(folder / "large.stl", 400000);
    std::ofstream(folder / "large.txt") << "old\n";
    const Outcome o = Run("export large.stl -o large.txt --no-open --max-memory 48M");
    EXPECT_EQ(o.code, 2) << o.err;
    EXPECT_TRUE(Has(o.err, "needs more than 48 MiB of memory")) << o.err;
    EXPECT_EQ(Slurp(folder / "large.txt"), "old\n");
    const Outcome roomy = Run("export large.stl -o large.txt --no-open --max-memory 2G");
    EXPECT_EQ(roomy.code, 0) << roomy.err;
    EXPECT_TRUE(Has(roomy.out, "patches: 400000\n")) << roomy.out;
}

TEST_F(HostProgram, AMemoryLimitThatIsNotASizeIsBadUsage) {
    for (const char* size : {"12x", "-1G", "0", "G", "1.2.3M", "99999999T"}) {
        const Outcome o = Run(std::string("export --no-open --max-memory ") + size);
        EXPECT_EQ(o.code, 2) << size;
        EXPECT_TRUE(Has(o.err, "--max-memory")) << o.err;
    }
}

// The plug-in writes on as many threads as --threads allows, and the file
// is the same on any count; a count that is not one is bad usage.
TEST_F(HostProgram, ThreadsCapTheExportAndLeaveItsBytesAsTheyAre) {
    WriteBinaryStl(folder / "mesh.stl", 20000);
    std::string first;
    for (const char* threads : {"1", "3"}) {
        const Outcome o = Run(std::string("export mesh.stl -o mesh.txt --no-open --threads ") + threads);
        ASSERT_EQ(o.code, 0) << o.err;
        const std::string text = Slurp(folder / "mesh.txt");
        EXPECT_GT(text.size(), std::size_t{1} << 20);
        if (first.empty()) first = text;
        EXPECT_EQ(text, first) << "--threads " << threads;
    }
    for (const char* threads : {"0", "-2", "many", "5000", "1.5"}) {
        const Outcome o = Run(std::string("export --no-open --threads ") + threads);
        EXPECT_EQ(o.code, 2) << threads;
        EXPECT_TRUE(Has(o.err, "--threads")) << o.err;
    }
}

}  // namespace
