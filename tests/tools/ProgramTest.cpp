// The patchtext program as a shell runs it: help, exit codes and where its
// messages go.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "ToolFiles.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs patchtext with arguments, after the shell commands in setUp.
Outcome Program(const std::string& arguments, const std::string& setUp = "") {
    const std::string out = toolfiles::TempPath("program_out.txt"), err = toolfiles::TempPath("program_err.txt");
    const std::string line =
        setUp + "\"" + PATCHTEXT_PROGRAM + "\" " + arguments + " >\"" + out + "\" 2>\"" + err + "\"";
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
    for (const std::string& arguments :
         {std::string(), std::string("frobnicate"), std::string("check"), "to-obj " + file,
          "to-obj " + file + " -o x.obj --steps 0", "to-gltf " + file + " -o x.glb --steps 200",
          "render " + file + " -o x.png --size 12", "info " + file + " --colour"}) {
        SCOPED_TRACE(arguments);
        const Outcome run = Program(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
}

TEST(PatchtextProgram, ThreadsAreAnOptionOfEveryCommand) {
    const std::string good = toolfiles::WriteFile("program_threads.txt", toolfiles::kTriangleFile);
    for (const std::string& arguments :
         {"--threads 1 check " + good, "check " + good + " --threads 2", "--threads 0 info " + good}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(Program(arguments).status, 0);
    }
    for (const std::string& arguments :
         {"--threads -1 check " + good, "--threads many check " + good, "check " + good + " --threads"}) {
        SCOPED_TRACE(arguments);
        const Outcome run = Program(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err, "");
    }
}

TEST(PatchtextProgram, CheckAnswersOkBadAndUnreadable) {
    const std::string good = toolfiles::WriteFile("program_good.txt", toolfiles::kTriangleFile);
    const std::string bad =
        toolfiles::WriteFile("program_bad.txt", toolfiles::Replace(toolfiles::kTriangleFile, "SIDES 3", "SIDES 6"));
    const Outcome ok = Program("check " + good);
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.err, "");
    const Outcome failed = Program("check " + bad);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err.rfind(bad + ":20:10: error: ", 0), 0u) << failed.err;
    const Outcome unreadable = Program("info " + toolfiles::TempPath("program_missing.txt"));
    EXPECT_EQ(unreadable.status, 2);
}

// Output that fails midway (a file-size limit of 1 KiB, its signal
// ignored so that the write fails) leaves the file that was there, and no
// temporary beside it.
TEST(PatchtextProgram, OutputThatFailsMidwayKeepsTheOldFile) {
    const std::string input = toolfiles::WriteDefaultSceneExport("program_scene.txt");
    const std::pair<std::string, std::string> outputs[] = {{"to-obj", "obj"}, {"render", "png"}, {"to-gltf", "glb"}};
    for (const auto& [command, extension] : outputs) {
        SCOPED_TRACE(command);
        const std::string out = toolfiles::WriteFile("program_keep_" + command + "." + extension, "old\n");
        const Outcome run = Program(command + " " + input + " -o " + out, "trap '' XFSZ; ulimit -f 2; ");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(out + ": error: "), std::string::npos) << run.err;
        EXPECT_EQ(toolfiles::ReadFile(out), "old\n");
        const std::filesystem::path folder = std::filesystem::path(out).parent_path();
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            EXPECT_EQ(entry.path().filename().string().find(".program_keep_"), std::string::npos) << entry.path();
    }
}

}  // namespace
