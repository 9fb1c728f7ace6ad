// Edges of the format library that files on a disk never reach: a file
// that cannot seek (a named pipe), a text larger than the writer's buffer
// in one piece, and the bytes an object's lists hold.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "FaultSupport.h"
#include "PatchTextSamples.h"
#include "patchio/PatchIO.h"
#include "patchio/TextSink.h"

namespace {

// Writes text into a named pipe once, for the first reader that opens it.
class PipeFeeder {
public:
    PipeFeeder(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) {
        thread_ = std::thread([this] { Feed(); });
    }
    ~PipeFeeder() { Stop(); }
    PipeFeeder(const PipeFeeder&) = delete;
    PipeFeeder& operator=(const PipeFeeder&) = delete;

    // Waits for the feed; releases a feeder that no reader came to.
    void Stop() {
        if (!thread_.joinable()) return;
        const int release = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        thread_.join();
        if (release >= 0) close(release);
    }

private:
    void Feed() {
        const int fd = open(path_.c_str(), O_WRONLY);
        if (fd < 0) return;
        for (std::size_t done = 0; done < text_.size();) {
            const ssize_t wrote = write(fd, text_.data() + done, text_.size() - done);
            if (wrote <= 0) break;
            done += static_cast<std::size_t>(wrote);
        }
        close(fd);
    }

    std::string path_;
    std::string text_;
    std::thread thread_;
};

class NamedPipe : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }

    faults::Scratch scratch;
    const std::string path = scratch.File("pipe.txt");
    PatchIO set;
};

TEST_F(NamedPipe, AFileThatCannotSeekReadsAsOnDisk) {
    PipeFeeder feeder(path, faults::TriangleFile());
    EXPECT_EQ(set.Read(path.c_str()), 1);
    feeder.Stop();
    ASSERT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.PatchObjectAt(0).NumVerts(), 3);
    EXPECT_EQ(set.NumCameras(), 1);
}

TEST_F(NamedPipe, AFailingReadKeepsWhatWasCompleted) {
    PipeFeeder feeder(path, faults::Replaced(faults::TriangleFile(), "NUMCAMERAS", "NUMCAMERA"));
    EXPECT_EQ(set.Read(path.c_str()), 0);
    feeder.Stop();
    EXPECT_EQ(set.NumPatchObjects(), 1);
    EXPECT_EQ(set.NumCameras(), 0);
}

// The place of a failing token is found by reading the file again, which a
// pipe cannot give: opening it a second time would wait for a new writer.
// The reason then says what was found and expected, without the place.
TEST_F(NamedPipe, AFailureReasonFromAPipeDoesNotWaitForASecondWriter) {
    PipeFeeder feeder(path, faults::Replaced(faults::TriangleFile(), "NUMCAMERAS", "NUMCAMERA"));
    ReadFailure why;
    EXPECT_EQ(set.Read(path.c_str(), &why), 0);
    feeder.Stop();
    EXPECT_TRUE(why.opened);
    EXPECT_EQ(why.found, "NUMCAMERA");
    EXPECT_EQ(why.expected, "\"NUMCAMERAS\"");
    EXPECT_FALSE(why.atEnd);
    EXPECT_EQ(why.line, 0);
    EXPECT_EQ(why.Message(), "expected \"NUMCAMERAS\", found \"NUMCAMERA\"");
}

TEST(TextSinkEdges, ATextLargerThanTheBufferIsWrittenWhole) {
    faults::Scratch scratch;
    const std::string path = scratch.File("sink.txt");
    std::string big(200000, 'b');
    for (std::size_t i = 0; i < big.size(); i += 1000) big[i] = '\n';
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    {
        auto sink = std::make_unique<TextSink>(file);
        sink->Literal("head ");
        sink->Text(big.data(), big.size());
        sink->Literal(" tail");
        EXPECT_TRUE(sink->Flush());
    }
    std::fclose(file);
    EXPECT_EQ(faults::ReadBytes(path), "head " + big + " tail");
}

TEST(TextSinkEdges, ALargeTextToAFullDeviceFails) {
    std::FILE* file = std::fopen("/dev/full", "wb");
    if (!file) GTEST_SKIP() << "this platform has no /dev/full";
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::string big(200000, 'b');
    {
        auto sink = std::make_unique<TextSink>(file);
        sink->Text(big.data(), big.size());
        EXPECT_FALSE(sink->Ok());
        EXPECT_FALSE(sink->Flush());
    }
    std::fclose(file);
}

TEST(ContentBytes, CountsTheElementsOfTheThreeLists) {
    ExportPatchObject object;
    EXPECT_EQ(object.ContentBytes(), 0u);
    object.AddVert({1, 2, 3});
    object.AddVert({4, 5, 6});
    object.AddVec({7, 8, 9});
    object.AddPatch(ExportPatch());
    EXPECT_EQ(object.ContentBytes(), 3 * sizeof(Float3) + sizeof(ExportPatch));
}

}  // namespace
