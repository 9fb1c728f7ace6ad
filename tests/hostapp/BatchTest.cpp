// ferrule-host's batch export end to end: folders mirrored into an output
// folder, the report, collisions of names, unwritable outputs, the memory
// limit and Ctrl-C.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "loaders/ImportTestSupport.h"

namespace fs = std::filesystem;

namespace {

#ifdef GANTLINE_ALLOCATION_REPORTED
constexpr bool kAllocationReported = true;
#else
constexpr bool kAllocationReported = false;
#endif

const std::string kData = std::string(GANTLINE_TEST_DATA) + "/";

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

class Batch : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("ferrule-batch-test-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "in" / "sub");
        fs::copy_file(kData + "hostapp/quad.obj", folder / "in" / "quad.obj");
        fs::copy_file(kData + "hostapp/quad.obj", folder / "in" / "sub" / "quad.obj");
        fs::copy_file(kData + "teapot.bpt", folder / "in" / "quad.bpt");
        std::ofstream(folder / "in" / "notes.txt") << "not a scene\n";
    }
    void TearDown() override { fs::remove_all(folder); }

    Outcome Run(const std::string& arguments) {
        const std::string command = "cd '" + folder.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                                    FERRULE_HOST_PATH + "' " + arguments + " >out.log 2>err.log";
        Outcome outcome;
        const int status = std::system(command.c_str());
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = Slurp(folder / "out.log");
        outcome.err = Slurp(folder / "err.log");
        return outcome;
    }

    nlohmann::json Report(const std::string& name = "report.json") {
        return nlohmann::json::parse(Slurp(folder / name));
    }

    fs::path folder;
};

TEST_F(Batch, MirrorsTheFoldersKeepingEachExtensionAndMatchesASingleExport) {
    const Outcome o = Run("export in -o out --jobs 2");
    ASSERT_EQ(o.code, 0) << o.err;
    for (const char* written : {"out/quad.obj.txt", "out/quad.bpt.txt", "out/sub/quad.obj.txt"})
        EXPECT_TRUE(fs::exists(folder / written)) << written;
    EXPECT_FALSE(fs::exists(folder / "out/notes.txt.txt")) << "only loadable extensions are taken";
    EXPECT_TRUE(Has(o.out, "exported: 3\nrefused: 0\nfailed: 0\n")) << o.out;
    ASSERT_EQ(Run("export in/sub/quad.obj -o single.txt --no-open").code, 0);
    EXPECT_EQ(Slurp(folder / "out/sub/quad.obj.txt"), Slurp(folder / "single.txt"));
}

TEST_F(Batch, ReportsEveryInputInInputOrder) {
    fs::copy_file(kData + "hostapp/broken.json", folder / "broken.json");
    const Outcome o = Run("export in broken.json missing.obj -o out --jobs 3 --report report.json");
    EXPECT_EQ(o.code, 2) << o.err;
    const nlohmann::json report = Report();
    ASSERT_EQ(report.size(), 5u);
    const char* inputs[] = {"in/quad.bpt", "in/quad.obj", "in/sub/quad.obj", "broken.json", "missing.obj"};
    const char* statuses[] = {"exported", "exported", "exported", "refused", "refused"};
    for (std::size_t i = 0; i < report.size(); ++i) {
        const nlohmann::json& r = report[i];
        EXPECT_EQ(r["input"], inputs[i]);
        EXPECT_EQ(r["status"], statuses[i]) << r.dump();
        for (const char* key : {"output", "message", "patchObjects", "patches", "cameras", "seconds", "peakBytes"})
            EXPECT_TRUE(r.contains(key)) << key;
    }
    EXPECT_EQ(report[1]["output"], (folder / "out/quad.obj.txt").string());
    EXPECT_EQ(report[1]["patchObjects"], 1);
    EXPECT_EQ(report[1]["patches"], 1);
    EXPECT_GT(report[1]["peakBytes"].get<std::uint64_t>(), 0u);
    EXPECT_EQ(report[0]["patches"], 32) << "the teapot";
    EXPECT_TRUE(Has(report[3]["message"], "broken.json")) << report[3].dump();
    EXPECT_TRUE(Has(report[4]["message"], "missing.obj: no such file or folder")) << report[4].dump();
    EXPECT_FALSE(fs::exists(folder / "out/broken.json.txt"));
    EXPECT_TRUE(Has(o.out, "refused: 2\n")) << o.out;
}

TEST_F(Batch, InputsOfTheSameNameGetOutputsOfTheirOwn) {
    const Outcome o = Run("export in/quad.obj in/sub/quad.obj -o out --report report.json");
    ASSERT_EQ(o.code, 0) << o.err;
    const nlohmann::json report = Report();
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0]["output"], (folder / "out/quad.obj.txt").string());
    EXPECT_EQ(report[1]["output"], (folder / "out/quad.obj-2.txt").string());
    EXPECT_TRUE(fs::exists(folder / "out/quad.obj.txt"));
    EXPECT_TRUE(fs::exists(folder / "out/quad.obj-2.txt"));
}

// An output folder that cannot be made exits 1 and changes nothing; an
// output that cannot be written fails that input alone.
TEST_F(Batch, OutputsThatCannotBeWrittenExitOneAndLoseNothing) {
    std::ofstream(folder / "taken") << "a file, not a folder\n";
    const Outcome o = Run("export in -o taken/out");
    EXPECT_EQ(o.code, 1) << o.err;
    EXPECT_TRUE(Has(o.err, "cannot make the output folder taken/out")) << o.err;
    EXPECT_EQ(Slurp(folder / "taken"), "a file, not a folder\n");

    fs::create_directories(folder / "out");
    std::ofstream(folder / "out" / "sub") << "in the way\n";
    const Outcome some = Run("export in -o out --report report.json");
    EXPECT_EQ(some.code, 1) << some.err;
    const nlohmann::json report = Report();
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[2]["status"], "failed");
    EXPECT_TRUE(Has(report[2]["message"], "cannot make the folder")) << report[2].dump();
    EXPECT_EQ(report[1]["status"], "exported");
    EXPECT_EQ(Slurp(folder / "out" / "sub"), "in the way\n");
}

TEST_F(Batch, NeedsAnOutputFolder) {
    const Outcome o = Run("export in");
    EXPECT_EQ(o.code, 2);
    EXPECT_TRUE(Has(o.err, "needs -o FOLDER")) << o.err;
    EXPECT_EQ(Run("export in/quad.obj --report r.json --no-open").code, 2) << "a report is a batch's";
}

// Runs ferrule-host with arguments in the scratch folder until the FIFO
// at fifo has a reader (the export that reads it has begun), then sends it
// SIGINT; answers its exit status, and in heldOpen whether the FIFO still
// had a reader after it ended.
int InterruptWhileReading(const fs::path& folder, const fs::path& fifo, std::vector<std::string> arguments,
                          bool& heldOpen) {
    int status = 0;
    const pid_t host = ::fork();
    if (host == 0) {
        ::chdir(folder.c_str());
        ::freopen("out.log", "w", stdout);
        ::freopen("err.log", "w", stderr);
        std::vector<char*> argv{const_cast<char*>("ferrule-host")};
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        ::execv(FERRULE_HOST_PATH, argv.data());
        ::_exit(127);
    }
    // Until the reader opens it a writer cannot.
    int writer = -1;
    while ((writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
        if (errno != ENXIO || ::waitpid(host, &status, WNOHANG) != 0) {
            ADD_FAILURE() << "the export ended without reading the FIFO";
            return -1;
        }
        ::usleep(10000);
    }
    ::kill(host, SIGINT);
    ::waitpid(host, &status, 0);
    ::close(writer);
    const int again = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    heldOpen = again >= 0;
    if (again >= 0) ::close(again);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Ctrl-C during a batch: the running child ends (its FIFO input loses its
// reader), what an export left half-written beside its output goes, the
// report holds what finished, and the exit status says it was interrupted.
TEST_F(Batch, AnInterruptEndsTheChildrenAndReportsWhatFinished) {
    const fs::path fifo = folder / "in2" / "wait.obj";
    fs::create_directories(fifo.parent_path());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    fs::create_directories(folder / "out");
    const fs::path leftover = folder / "out" / ".wait.obj.txt.ferrule-0000abcd.tmp";
    std::ofstream(leftover) << "half written\n";
    bool heldOpen = true;
    EXPECT_EQ(
        InterruptWhileReading(
            folder, fifo,
            {"export", "in/quad.obj", "in2/wait.obj", "-o", "out", "--jobs", "1", "--report", "report.json"}, heldOpen),
        130);
    EXPECT_FALSE(heldOpen) << "no reader is left on the FIFO";
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(folder / "out/quad.obj.txt"));
    const nlohmann::json report = Report();
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0]["status"], "exported");
    EXPECT_TRUE(Has(Slurp(folder / "out.log"), "interrupted: 1 not finished")) << Slurp(folder / "out.log");
}

// The same for a single export: its child ends, the old file stays.
TEST_F(Batch, AnInterruptEndsASingleExportKeepingTheOldFile) {
    const fs::path fifo = folder / "wait.obj";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    std::ofstream(folder / "wait.txt") << "old\n";
    const fs::path leftover = folder / ".wait.txt.ferrule-0000abcd.tmp";
    std::ofstream(leftover) << "half written\n";
    bool heldOpen = true;
    EXPECT_EQ(InterruptWhileReading(folder, fifo, {"export", "wait.obj", "-o", "wait.txt", "--no-open"}, heldOpen),
              130);
    EXPECT_FALSE(heldOpen);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(Slurp(folder / "wait.txt"), "old\n");
}

// A binary STL of count separate triangles.
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

TEST_F(Batch, AnInputBeyondTheMemoryLimitIsRefusedNamingIt) {
    if (kAllocationReported) GTEST_SKIP() << "AddressSanitizer ends a refused allocation with its own report";
    WriteBinaryStl(folder / "in" / "large.stl", 400000);
    const Outcome o = Run("export in -o out --max-memory 48M --report report.json");
    EXPECT_EQ(o.code, 2) << o.err;
    const nlohmann::json report = Report();
    ASSERT_EQ(report.size(), 4u);
    EXPECT_EQ(report[0]["input"], "in/large.stl");
    EXPECT_EQ(report[0]["status"], "refused");
    EXPECT_TRUE(Has(report[0]["message"], "needs more than 48 MiB of memory")) << report[0].dump();
    EXPECT_EQ(report[1]["status"], "exported") << "the others export as ever";
}

}  // namespace

namespace {

// Files cut short, made here from good ones of each format whose reader
// can be cut: every one is refused (exit 2), none exported with made-up
// faces.
TEST_F(Batch, FilesCutShortAreRefusedNeverCompleted) {
    const struct {
        const char* model;
        const char* cutBefore;  // the cut is just before this text (its last occurrence, or its first);
                                // empty: 7 bytes before the end
        bool first;
        const char* says;
    } cases[] = {
        {"PLY/cube.ply", "4 0 4 5 1", false, "the file ends after"},
        {"PLY/cube_binary.ply", "", false, "the file ends after"},
        {"STL/Spider_binary.stl", "", false, "the binary STL header declares"},
        {"OFF/Cube.off", "4 4 5 7 6", false, "the file ends after"},
        {"OBJ/box.obj", "\nf ", true, "the file holds no faces"},
        {"OBJ/box.obj", " 8 5\n", false, "fewer than 3 corners"},
    };
    fs::create_directories(folder / "cut");
    int n = 0;
    for (const auto& c : cases) {
        REQUIRE_TEST_MODEL(c.model);
        const std::string bytes = ReadModelBytes(c.model);
        const std::string text = c.cutBefore;
        const std::size_t at = text.empty() ? bytes.size() - 7 : c.first ? bytes.find(text) : bytes.rfind(text);
        ASSERT_NE(at, std::string::npos) << c.model;
        const std::string name = std::to_string(++n) + fs::path(c.model).extension().string();
        std::ofstream(folder / "cut" / name, std::ios::binary) << bytes.substr(0, at);
    }
    const Outcome o = Run("export cut -o out --report report.json");
    EXPECT_EQ(o.code, 2) << o.err;
    const nlohmann::json report = Report();
    ASSERT_EQ(report.size(), std::size(cases));
    for (std::size_t i = 0; i < report.size(); ++i) {
        SCOPED_TRACE(cases[i].model);
        EXPECT_EQ(report[i]["input"], "cut/" + std::to_string(i + 1) + fs::path(cases[i].model).extension().string());
        EXPECT_EQ(report[i]["status"], "refused") << report[i].dump();
        EXPECT_TRUE(Has(report[i]["message"], cases[i].says)) << report[i].dump();
    }
    const Outcome single = Run("export cut/1.ply -o one.txt --no-open");
    EXPECT_EQ(single.code, 2);
    EXPECT_FALSE(fs::exists(folder / "one.txt"));
}

}  // namespace
