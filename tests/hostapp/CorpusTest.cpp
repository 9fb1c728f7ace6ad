// Every model of Debian's assimp-testmodels through one batch export with
// two jobs and a report: each input exported or refused with a message
// that names it, none failed or slow, every output read back by patchtext.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "loaders/ImportTestSupport.h"

namespace fs = std::filesystem;

namespace {

// Well beyond the slowest model's import and export (about 4 s on a busy
// 2-core machine): what would mean a file that hangs.
constexpr double kSlowSeconds = 30.0;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Corpus, EveryTestModelExportsOrIsRefusedWithAMessage) {
    REQUIRE_TEST_MODEL("Collada/duck.dae");
    const fs::path folder = fs::temp_directory_path() / ("ferrule-corpus-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string models = kTestModels.substr(0, kTestModels.size() - 1);
    const int code = Shell("'" FERRULE_HOST_PATH "' export '" + models + "' -o '" + (folder / "out").string() +
                           "' --jobs 2 --report '" + (folder / "report.json").string() + "' >'" +
                           (folder / "summary.txt").string() + "' 2>'" + (folder / "messages.txt").string() + "'");
    EXPECT_EQ(code, 2) << "some test models are broken on purpose";
    const nlohmann::json report = nlohmann::json::parse(Slurp(folder / "report.json"));
    ASSERT_GT(report.size(), 400u);
    std::size_t exported = 0;
    std::string outputs;
    for (const nlohmann::json& r : report) {
        const std::string input = r["input"];
        SCOPED_TRACE(input);
        const std::string status = r["status"];
        ASSERT_TRUE(status == "exported" || status == "refused") << r.dump();
        EXPECT_LT(r["seconds"].get<double>(), kSlowSeconds);
        if (status == "refused") {
            EXPECT_EQ(r["message"].get<std::string>().rfind(input + ": ", 0), 0u) << r.dump();
            EXPECT_FALSE(fs::exists(r["output"].get<std::string>()));
            continue;
        }
        ++exported;
        EXPECT_GT(r["patchObjects"].get<int>() + r["cameras"].get<int>(), 0) << r.dump();
        outputs += " '" + r["output"].get<std::string>() + "'";
    }
    EXPECT_GT(exported, 300u);
    EXPECT_EQ(Shell("'" PATCHTEXT_PROGRAM "' check" + outputs + " 2>'" + (folder / "check.txt").string() + "'"), 0)
        << Slurp(folder / "check.txt");

    // The file whose header declares 353,535,235,358 vertices in 309 bytes
    // is refused on its header, before any memory is taken for them.
    for (const nlohmann::json& r : report) {
        if (r["input"] != kTestModels + "invalid/OutOfMemory.off") continue;
        EXPECT_EQ(r["status"], "refused");
        EXPECT_NE(r["message"].get<std::string>().find("353535235358 vertices"), std::string::npos) << r.dump();
        EXPECT_NE(r["message"].get<std::string>().find("memory"), std::string::npos) << r.dump();
        // Far below the gigabytes it would have taken (a sanitizer's own
        // reserves count in a child's peak too).
        EXPECT_LT(r["peakBytes"].get<double>(), 1e9);
    }
    fs::remove_all(folder);
}

}  // namespace
