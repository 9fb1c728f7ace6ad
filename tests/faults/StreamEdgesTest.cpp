// Edges of the format library that files on a disk never reach: a file
// that cannot seek (a named pipe), a text larger than the writer's buffer
// in one piece, and the bytes an object's lists hold.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "FaultSupport.h"
#include "PatchTextSamples.h"
#include "patchio/PatchIO.h"
#include "patchio/TextSink.h"
#include "text/BlockTokeniser.h"
#include "text/Tokeniser.h"

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

// The place of a failing token is counted while reading, so a pipe, which
// cannot be read twice, gives the same reason as the same text on disk, and
// nothing waits for a second writer.
TEST_F(NamedPipe, AFailureReasonFromAPipeTellsWhereAsOnDisk) {
    const std::string text = faults::Replaced(faults::TriangleFile(), "NUMCAMERAS", "NUMCAMERA");
    const std::string onDisk = scratch.File("on-disk.txt");
    testfiles::WriteBytes(onDisk, text);
    ReadFailure expected;
    ASSERT_EQ(set.Read(onDisk.c_str(), &expected), 0);

    PipeFeeder feeder(path, text);
    ReadFailure why;
    EXPECT_EQ(set.Read(path.c_str(), &why), 0);
    feeder.Stop();
    EXPECT_TRUE(why.opened);
    EXPECT_EQ(why.found, "NUMCAMERA");
    EXPECT_EQ(why.expected, "\"NUMCAMERAS\"");
    EXPECT_FALSE(why.atEnd);
    EXPECT_GT(why.line, 1);
    EXPECT_EQ(why.line, expected.line);
    EXPECT_EQ(why.column, expected.column);
    EXPECT_EQ(why.Message(), expected.Message());
}

// A writer that sends one line into a pipe and keeps the pipe open until
// the reader has its first token, or until it gives up waiting.
class HeldPipe {
public:
    HeldPipe() {
        int ends[2];
        if (pipe(ends) != 0) return;
        read_ = fdopen(ends[0], "r");
        writer_ = std::thread([this, fd = ends[1]] {
            const char line[] = "abc\n";
            if (write(fd, line, sizeof line - 1) < 0) return;
            std::unique_lock<std::mutex> lock(mutex_);
            gaveUp_ = !taken_.wait_for(lock, std::chrono::seconds(20), [this] { return got_; });
            close(fd);
        });
    }
    ~HeldPipe() {
        Got();
        if (writer_.joinable()) writer_.join();
        if (read_) std::fclose(read_);
    }
    HeldPipe(const HeldPipe&) = delete;
    HeldPipe& operator=(const HeldPipe&) = delete;

    std::FILE* Read() const { return read_; }
    void Got() {
        std::lock_guard<std::mutex> lock(mutex_);
        got_ = true;
        taken_.notify_one();
    }
    // Whether the writer had to close the pipe before the reader got its
    // token: the reader waited for more than the line that had come.
    bool WriterGaveUp() {
        if (writer_.joinable()) writer_.join();
        return gaveUp_;
    }

private:
    std::FILE* read_ = nullptr;
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable taken_;
    bool got_ = false;
    bool gaveUp_ = false;
};

template <typename Splitter>
void ExpectTokenBeforeThePipeCloses() {
    HeldPipe held;
    ASSERT_NE(held.Read(), nullptr);
    Splitter tokens(held.Read());
    tokens.SetDelimiters(PatchIO::kDelimiters);
    EXPECT_EQ(tokens.NextToken(), 1);
    EXPECT_STREQ(tokens.GetToken(), "abc");
    held.Got();
    EXPECT_FALSE(held.WriterGaveUp()) << "the token came only when the pipe closed";
    EXPECT_EQ(tokens.NextToken(), 0);
}

TEST(PipeTokens, BlockTokeniserHandsATokenOutAsSoonAsItsDelimiterHasCome) {
    ExpectTokenBeforeThePipeCloses<BlockTokeniser>();
}

TEST(PipeTokens, TokeniserHandsATokenOutAsSoonAsItsDelimiterHasCome) { ExpectTokenBeforeThePipeCloses<Tokeniser>(); }

TEST(TextSinkEdges, ATextLargerThanTheBufferIsWrittenWhole) {
    faults::Scratch scratch;
    const std::string path = scratch.File("sink.txt");
    std::string big(TextSink::kCapacity + 200000, 'b');
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
    const std::string big(TextSink::kCapacity + 200000, 'b');
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
