#include "ToolFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

namespace toolfiles {

const char* const kTriangleFile =
    "VERSION\t1.10\n"
    "PATCHOBJECTS\t1\n"
    "PATCHOBJECT 0\n"
    "\tNUMVERTS 3\n"
    "\t\t0\t0.000000\t0.000000\t0.000000\n"
    "\t\t1\t10.000000\t0.000000\t0.000000\n"
    "\t\t2\t0.000000\t10.000000\t0.000000\n"
    "\tNUMVECS 9\n"
    "\t\t0\t2.500000\t0.000000\t0.000000\n"
    "\t\t1\t7.500000\t0.000000\t0.000000\n"
    "\t\t2\t7.500000\t2.500000\t0.000000\n"
    "\t\t3\t2.500000\t7.500000\t0.000000\n"
    "\t\t4\t0.000000\t7.500000\t0.000000\n"
    "\t\t5\t0.000000\t2.500000\t0.000000\n"
    "\t\t6\t2.500000\t2.500000\t1.000000\n"
    "\t\t7\t5.000000\t2.500000\t1.000000\n"
    "\t\t8\t2.500000\t5.000000\t1.000000\n"
    "\tNUMPATCHES 1\n"
    "\t\tPATCH 0\n"
    "\t\t\tSIDES 3\n"
    "\t\t\tVERTS 0 1 2 \n"
    "\t\t\tVECS 0 1 2 3 4 5 \n"
    "\t\t\tINTERIOR 6 7 8 \n"
    "\t\t\tADJACENT -1 -1 -1 \n"
    "NUMCAMERAS 1\n"
    "CAMERA 0\t0.000000 -200.000000 50.500000\t0.000000 0.000000 0.000000\n";

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

#include "host/SceneFiles.h"
#include "patchio/PatchIO.h"

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
