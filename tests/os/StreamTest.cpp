// Whether two streams read one file: a reader that opens a file's name
// again must notice that another file was put in its place.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "TestFiles.h"
#include "os/Stream.h"

namespace {

using testfiles::TempDir;

struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, Closer>;

void Put(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

TEST(SameFile, TellsTheFileFromAnotherPutInItsPlace) {
    const TempDir dir;
    const std::filesystem::path path = dir.Path() / "set.txt";
    Put(path, "first");
    const File first(std::fopen(path.string().c_str(), "rb"));
    const File again(std::fopen(path.string().c_str(), "rb"));
    ASSERT_TRUE(first && again);
    EXPECT_TRUE(os::SameFile(first.get(), again.get()));

    Put(dir.Path() / "new.txt", "second");
    std::filesystem::rename(dir.Path() / "new.txt", path);
    const File replaced(std::fopen(path.string().c_str(), "rb"));
    ASSERT_TRUE(replaced);
    EXPECT_FALSE(os::SameFile(first.get(), replaced.get()));
}

}  // namespace
