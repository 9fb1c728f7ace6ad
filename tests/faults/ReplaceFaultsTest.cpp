// Writing over an existing file on POSIX: full and read-only disks and
// killed writers leave the old file, the replaced file keeps its mode and
// owner, links stay links, and FIFOs, devices and hard-linked files are
// written in place. Scenarios that change the process (limits, users, mount
// namespaces) run in a child process.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "FaultSupport.h"
#include "patchio/PatchIO.h"
#include "support/Image.h"

namespace {

namespace fs = std::filesystem;

// The child's exit status when the scenario cannot be set up here.
constexpr int kCannotSetUp = 77;
// A user and group without any rights of their own.
constexpr uid_t kNobody = 65534;
const std::string kOld = "the file as it was\n";

// A set of about 800 KB: many writes, beyond one buffer.
const PatchIO& LargeSet() {
    static PatchIO set;
    if (set.NumPatchObjects() == 0) {
        ExportPatchObject object;
        for (int i = 0; i < 20000; ++i) object.AddVert({static_cast<float>(i), 1.5f, -2.25f});
        set.AddPatchObject(object);
        set.AddCamera(ExportCamera());
    }
    return set;
}

std::string TextOf(const PatchIO& set) {
    std::string text;
    set.WriteText(text);
    return text;
}

// Runs body in a child process; answers its exit status, or 128 and the
// signal that ended it.
int InChild(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The names in folder, sorted.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsTempName(const std::string& name) {
    return name.rfind(".out.txt.ferrule-", 0) == 0 && name.size() == 29 && name.substr(25) == ".tmp";
}

struct DiskCase {
    const char* what;
    // Makes writing fail in the child; false when it cannot here.
    std::function<bool(const fs::path& folder)> fail;
};

// A tmpfs of its own in a private mount namespace, which ends with the child.
bool MountSmallDisk(const fs::path& folder, bool readOnly) {
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) return false;
    faults::WriteBytes((folder / "out.txt").string(), kOld);
    return !readOnly || mount("tmpfs", folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

TEST(ReplaceFaults, AFailingDiskKeepsTheOldFileAndLeavesNoTemporary) {
    const std::vector<DiskCase> cases = {
        {"a file-size limit",
         [](const fs::path&) {
             signal(SIGXFSZ, SIG_IGN);
             const struct rlimit limit { 100000, 100000 };
             return setrlimit(RLIMIT_FSIZE, &limit) == 0;
         }},
        {"a full disk", [](const fs::path& folder) { return MountSmallDisk(folder, false); }},
        {"a read-only disk", [](const fs::path& folder) { return MountSmallDisk(folder, true); }},
    };
    for (const DiskCase& c : cases) {
        faults::Scratch scratch;
        const std::string out = scratch.File("out.txt");
        faults::WriteBytes(out, kOld);
        const int status = InChild([&] {
            if (!c.fail(scratch.Path())) return kCannotSetUp;
            const bool failed = LargeSet().Write(out.c_str()) == 0;
            const bool kept = faults::ReadBytes(out) == kOld && Names(scratch.Path()).size() == 1;
            return failed && kept ? 0 : 1;
        });
        if (status == kCannotSetUp) {
            std::printf("%s cannot be set up here\n", c.what);
            continue;
        }
        EXPECT_EQ(status, 0) << c.what << ": the write answered 1, or the old file changed, or a file was left";
    }
}

// A killed writer leaves the old file or the whole new one. The file-size
// limit's signal kills the writer at the byte chosen; SIGKILL at moments
// that fall where they fall.
TEST(ReplaceFaults, AKilledWriterLeavesTheOldFileOrTheWholeNewOne) {
    faults::Scratch scratch;
    const std::string out = scratch.File("out.txt");
    const PatchIO& set = LargeSet();
    const std::string text = TextOf(set);
    for (const rlim_t bytes : {rlim_t{0}, rlim_t{1}, rlim_t{65536}, rlim_t{65537}, rlim_t{text.size() - 1}}) {
        faults::WriteBytes(out, kOld);
        const int status = InChild([&] {
            const struct rlimit limit { bytes, bytes }, noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            setrlimit(RLIMIT_FSIZE, &limit);
            return set.Write(out.c_str());
        });
        EXPECT_EQ(status, 128 + SIGXFSZ) << bytes;
        EXPECT_TRUE(faults::ReadBytes(out) == kOld) << "killed at byte " << bytes;
    }
    for (int moment = 0; moment < 20; ++moment) {
        faults::WriteBytes(out, kOld);
        const pid_t child = fork();
        if (child == 0) _exit(set.Write(out.c_str()) == 1 ? 0 : 1);
        usleep(static_cast<useconds_t>(moment * 2000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = faults::ReadBytes(out);
        EXPECT_TRUE(now == kOld || now == text) << "killed after " << moment * 2 << " ms: " << now.size() << " bytes";
    }
    // What the killed writers left is theirs alone; the next write is whole.
    std::vector<std::string> left = Names(scratch.Path());
    for (const std::string& name : left) EXPECT_TRUE(name == "out.txt" || IsTempName(name)) << name;
    ASSERT_EQ(set.Write(out.c_str()), 1);
    EXPECT_TRUE(faults::ReadBytes(out) == text);
    EXPECT_EQ(Names(scratch.Path()), left);
}

TEST(ReplaceFaults, TheReplacedFileKeepsItsModeAndOwner) {
    faults::Scratch scratch;
    const std::string out = scratch.File("out.txt");
    const bool root = geteuid() == 0;
    for (const mode_t mode : {0600u, 0640u, 0755u, 02775u}) {
        faults::WriteBytes(out, kOld);
        // The mode after the owner: a change of owner clears set-id bits.
        if (root) {
            ASSERT_EQ(chown(out.c_str(), kNobody, kNobody), 0);
        }
        ASSERT_EQ(chmod(out.c_str(), mode), 0);
        ASSERT_EQ(LargeSet().Write(out.c_str()), 1);
        struct stat info;
        ASSERT_EQ(stat(out.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        if (root) {
            EXPECT_EQ(info.st_uid, kNobody);
            EXPECT_EQ(info.st_gid, kNobody);
        }
    }
    const mode_t previous = umask(027);
    const std::string fresh = scratch.File("new.txt");
    EXPECT_EQ(LargeSet().Write(fresh.c_str()), 1);
    umask(previous);
    struct stat info;
    ASSERT_EQ(stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "a new file gets 0666 less the umask";
}

struct LinkCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // name, what it leads to
    std::string file;                                        // the file written through them
};

TEST(ReplaceFaults, ASymbolicLinkStaysALinkAndItsFileIsReplaced) {
    const std::vector<LinkCase> cases = {
        {"a relative link", {{"link.txt", "out.txt"}}, "out.txt"},
        {"a link into another folder", {{"link.txt", "sub/out.txt"}}, "sub/out.txt"},
        {"a chain of links", {{"link.txt", "sub/middle.txt"}, {"sub/middle.txt", "../out.txt"}}, "out.txt"},
        {"a link to a file not there yet", {{"link.txt", "sub/new.txt"}}, "sub/new.txt"},
    };
    const PatchIO& set = LargeSet();
    for (const LinkCase& c : cases) {
        faults::Scratch scratch;
        fs::create_directory(scratch.Path() / "sub");
        if (c.file != "sub/new.txt") faults::WriteBytes(scratch.File(c.file), kOld);
        for (const auto& [name, target] : c.links) fs::create_symlink(target, scratch.Path() / name);
        ASSERT_EQ(set.Write(scratch.File("link.txt").c_str()), 1) << c.what;
        for (const auto& [name, target] : c.links) {
            EXPECT_TRUE(fs::is_symlink(scratch.Path() / name)) << c.what;
            EXPECT_EQ(fs::read_symlink(scratch.Path() / name), target) << c.what;
        }
        EXPECT_TRUE(faults::ReadBytes(scratch.File(c.file)) == TextOf(set)) << c.what;
        for (const auto& entry : fs::recursive_directory_iterator(scratch.Path()))
            EXPECT_EQ(entry.path().filename().string().find(".ferrule-"), std::string::npos) << entry.path();
    }
}

TEST(ReplaceFaults, AHardLinkedFileIsWrittenInPlaceForEveryName) {
    faults::Scratch scratch;
    const std::string out = scratch.File("out.txt");
    faults::WriteBytes(out, kOld);
    fs::create_hard_link(out, scratch.File("other.txt"));
    const PatchIO& set = LargeSet();
    ASSERT_EQ(set.Write(out.c_str()), 1);
    EXPECT_TRUE(faults::ReadBytes(scratch.File("other.txt")) == TextOf(set));
    EXPECT_EQ(fs::hard_link_count(out), 2u);
}

TEST(ReplaceFaults, AFifoIsWrittenInPlace) {
    faults::Scratch scratch;
    const std::string fifo = scratch.File("out.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = faults::ReadBytes(fifo); });
    const PatchIO& set = LargeSet();
    EXPECT_EQ(set.Write(fifo.c_str()), 1);
    reader.join();
    EXPECT_TRUE(received == TextOf(set));
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_EQ(Names(scratch.Path()).size(), 1u);
}

// /dev/stdout of a program whose output goes to a file leads, through
// /proc, to that file: it is written in place, as the shell opened it.
TEST(ReplaceFaults, DevicesAreWrittenInPlace) {
    EXPECT_EQ(LargeSet().Write("/dev/null"), 1);
    faults::Scratch scratch;
    const std::string out = scratch.File("out.txt");
    faults::WriteBytes(out, kOld);
    const int status = InChild([&] {
        const int fd = open(out.c_str(), O_WRONLY | O_APPEND);
        if (fd < 0 || dup2(fd, 1) < 0) return kCannotSetUp;
        return LargeSet().Write("/dev/stdout") == 1 ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(faults::ReadBytes(out) == TextOf(LargeSet()));
    EXPECT_EQ(Names(scratch.Path()).size(), 1u);
}

// A user without write permission on the folder (root takes on the rights
// of nobody in a child): a writable file there is written in place, a new
// file cannot be made, and a read-only file stays as it was. In a sticky
// folder (as /tmp) another user's writable file is written in place too,
// since the folder would refuse the move.
TEST(ReplaceFaults, AFolderThatRefusesNewFilesOrTheMove) {
    faults::Scratch scratch;
    const std::string writable = scratch.File("writable.txt"), readOnly = scratch.File("read-only.txt");
    const fs::path sticky = scratch.Path() / "sticky";
    const std::string shared = (sticky / "shared.txt").string();
    fs::create_directory(sticky);
    for (const std::string& file : {writable, readOnly, shared}) faults::WriteBytes(file, kOld);
    ASSERT_EQ(chmod(writable.c_str(), 0666) | chmod(shared.c_str(), 0666) | chmod(readOnly.c_str(), 0444), 0);
    ASSERT_EQ(chmod(sticky.c_str(), 01777) | chmod(scratch.Path().c_str(), 0555), 0);
    const PatchIO& set = LargeSet();
    const int status = InChild([&] {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) return kCannotSetUp;
        if (set.Write(writable.c_str()) != 1) return 1;
        if (set.Write(scratch.File("new.txt").c_str()) != 0) return 2;
        if (set.Write(readOnly.c_str()) != 0) return 3;
        if (set.Write(shared.c_str()) != 1) return 4;
        return 0;
    });
    chmod(scratch.Path().c_str(), 0755);
    if (status == kCannotSetUp) GTEST_SKIP() << "cannot take on another user's rights here";
    EXPECT_EQ(status, 0) << "1: the writable file, 2: the new file, 3: the read-only file, 4: the sticky folder";
    EXPECT_TRUE(faults::ReadBytes(writable) == TextOf(set));
    EXPECT_TRUE(faults::ReadBytes(shared) == TextOf(set));
    EXPECT_TRUE(faults::ReadBytes(readOnly) == kOld);
    EXPECT_EQ(Names(scratch.Path()), (std::vector<std::string>{"read-only.txt", "sticky", "writable.txt"}));
    EXPECT_EQ(Names(sticky), std::vector<std::string>{"shared.txt"});
}

}  // namespace
