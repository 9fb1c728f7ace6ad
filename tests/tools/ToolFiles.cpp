#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "WorkedExample.h"

namespace toolfiles {

const char* const kTriangleFile = testdata::kWorkedExample;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) throw std::invalid_argument("no \"" + from + "\" in the text");
    return text.replace(at, from.size(), to);
}

int LineOf(const std::string& text, const std::string& needle) {
    const std::size_t at = text.find(needle);
    if (at == std::string::npos) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// Named after the running test too: CTest runs the tests of this program in
// parallel processes, and they must not share files.
std::string TempPath(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string owner = test ? std::string(test->test_suite_name()) + "." + test->name() + "_" : std::string();
    return ::testing::TempDir() + "patchtext_" + owner + name;
}

std::string WriteFile(const std::string& name, const std::string& text) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace toolfiles

#include "patchio/PatchIO.h"
#include "loaders/SceneFiles.h"

namespace toolfiles {

std::string WriteDefaultSceneExport(const std::string& name) {
    MemoryInterface core;
    core.SetRoot(DefaultScene());
    Interface* previous = SetCOREInterface(&core);
    PatchIO set;
    set.CollectScene();
    SetCOREInterface(previous);
    const std::string path = TempPath(name);
    if (set.Write(path.c_str()) != 1) throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace toolfiles
