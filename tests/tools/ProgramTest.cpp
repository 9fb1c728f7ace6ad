// The patchtext program as a shell runs it: help, exit codes and where its
// messages go.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "ToolFiles.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome Program(const std::string& arguments) {
    const std::string out = toolfiles::TempPath("program_out.txt"), err = toolfiles::TempPath("program_err.txt");
    const std::string line = std::string("\"") + PATCHTEXT_PROGRAM + "\" " + arguments + " >\"" + out + "\" 2>\"" + err + "\"";
    const int raw = std::system(line.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = toolfiles::ReadFile(out);
    run.err = toolfiles::ReadFile(err);
    return run;
}

TEST(PatchtextProgram, HelpListsTheCommandsAndExitCodes) {
    const Outcome run = Program("--help");
    EXPECT_EQ(run.status, 0);
    for (const char* word : {"check", "info", "to-obj", "to-gltf", "render", "Exit status"})
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    const Outcome render = Program("render --help");
    EXPECT_EQ(render.status, 0);
    for (const char* word : {"--camera", "--size", "--wire", "--spread", "45 degree"})
        EXPECT_NE(render.out.find(word), std::string::npos) << word;
}

TEST(PatchtextProgram, BadUsageExitsWithTwo) {
    const std::string file = toolfiles::WriteFile("program.txt", toolfiles::kTriangleFile);
    for (const std::string& arguments : {std::string(), std::string("frobnicate"), std::string("check"),
                                        "to-obj " + file, "to-obj " + file + " -o x.obj --steps 0", "to-gltf " + file + " -o x.glb --steps 200",
                                        "render " + file + " -o x.png --size 12", "info " + file + " --colour"}) {
        SCOPED_TRACE(arguments);
        const Outcome run = Program(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

TEST(PatchtextProgram, CheckAnswersOkBadAndUnreadable) {
    const std::string good = toolfiles::WriteFile("program_good.txt", toolfiles::kTriangleFile);
    const std::string bad = toolfiles::WriteFile("program_bad.txt", toolfiles::Replace(toolfiles::kTriangleFile, "SIDES 3", "SIDES 6"));
    const Outcome ok = Program("check " + good);
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.err, "");
    const Outcome failed = Program("check " + bad);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind(bad + ":20:10: error: ", 0), 0u) << failed.err;
    const Outcome unreadable = Program("info " + toolfiles::TempPath("program_missing.txt"));
    EXPECT_EQ(unreadable.status, 2);
}

}  // namespace
