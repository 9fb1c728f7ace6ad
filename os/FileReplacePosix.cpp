// Replacing a file on POSIX: a temporary beside it, renamed over it.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "os/FileReplace.h"
#include "os/FileReplacePlatform.h"

namespace os {
namespace {

// Links followed from the path to the file, as the kernel's own limit.
constexpr int kMaxLinks = 40;
// Temporary names tried before giving up when every one is taken.
constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The kernel's per-process links (/dev/stdout and /dev/fd/N lead into
// /proc) name streams that are already open, not files in a folder.
bool IsProcessLink(const std::string& path) { return path.compare(0, 6, "/proc/") == 0; }

enum class Follow { kFile, kProcessLink, kFailed };

// Follows the symbolic links from path to the file they lead to, which
// need not exist yet (a dangling link is written through, as a plain open
// does). Sets errno when it fails.
Follow FollowLinks(std::string& path) {
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        if (IsProcessLink(path)) return Follow::kProcessLink;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return Follow::kFile;
        char next[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), next, sizeof next);
        if (length < 0) return Follow::kFailed;
        if (static_cast<std::size_t>(length) >= sizeof next) {
            errno = ENAMETOOLONG;
            return Follow::kFailed;
        }
        const std::string link(next, static_cast<std::size_t>(length));
        path = link[0] == '/' ? link : FolderOf(path) + link;
    }
    errno = ELOOP;
    return Follow::kFailed;
}

// Whether the folder would refuse to let another user's file be renamed
// over: a sticky folder (/tmp) that neither the process nor the file owns.
bool StickyFolderRefuses(const std::string& target, const struct stat& file) {
    const std::string folder = FolderOf(target);
    struct stat info;
    if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0 || (info.st_mode & S_ISVTX) == 0) return false;
    const uid_t me = geteuid();
    return me != 0 && me != info.st_uid && me != file.st_uid;
}

// Creates a temporary beside target that did not exist before; answers its
// descriptor and name, or -1 with errno set.
int CreateTemp(const std::string& target, mode_t mode, std::string& temp) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        struct timespec now {};
        clock_gettime(CLOCK_REALTIME, &now);
        const unsigned long long clock =
            static_cast<unsigned long long>(now.tv_sec) * 1000000000ULL + static_cast<unsigned long long>(now.tv_nsec);
        temp = TempSibling(target, "/", UniqueNumber(static_cast<unsigned long>(getpid()), clock), PATH_MAX - 1);
        const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    temp.clear();
    return -1;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& path, WriteMode mode) : target_(path) {
    const char* openMode = mode == WriteMode::kText ? "w" : "wb";
    struct stat info;
    const bool exists = stat(path.c_str(), &info) == 0;
    const Follow follow = FollowLinks(target_);
    if (follow == Follow::kFailed) {
        failure_ = replace::ErrnoText(errno);
        return;
    }
    bool inPlace = follow == Follow::kProcessLink || (exists && (!S_ISREG(info.st_mode) || info.st_nlink > 1));
    if (!inPlace && exists) {
        if (stat(target_.c_str(), &info) != 0 || faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
            failure_ = replace::ErrnoText(errno);
            return;
        }
        inPlace = StickyFolderRefuses(target_, info);
    }
    int fd = -1;
    if (!inPlace) {
        // A new file gets 0666 less the umask, as a plain open gives it; a
        // replaced one its old bits, set before anything is written.
        fd = CreateTemp(target_, exists ? 0600 : 0666, temp_);
        // A folder that refuses new files while the file may be written:
        // the file is written in place rather than not at all.
        if (fd < 0 && exists && (errno == EACCES || errno == EPERM)) inPlace = true;
        // A path too long for a temporary's name beside it, not for its own.
        if (fd < 0 && errno == ENAMETOOLONG) inPlace = true;
    }
    if (inPlace) {
        stream_ = std::fopen(path.c_str(), openMode);
        if (!stream_) failure_ = replace::ErrnoText(errno);
        created_ = stream_ && !exists;
        return;
    }
    if (fd < 0) {
        failure_ = replace::ErrnoText(errno);
        return;
    }
    replacing_ = exists;
    if (exists) {
        // The owner only where the process may give the file away; the
        // permission bits after it, since a change of owner clears set-id bits.
        if (fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Not permitted: the file belongs to this process's user.
        }
        if (fchmod(fd, info.st_mode & 07777) != 0) {
            failure_ = replace::ErrnoText(errno);
            close(fd);
            Abandon();
            return;
        }
    }
    stream_ = fdopen(fd, openMode);
    if (!stream_) {
        failure_ = replace::ErrnoText(errno);
        close(fd);
        Abandon();
    }
}

namespace replace {

bool SyncToDisk(std::FILE* stream, std::string& why) {
    if (fsync(fileno(stream)) == 0) return true;
    why = ErrnoText(errno);
    return false;
}

bool MoveOver(const std::string& temp, const std::string& target, std::string& why) {
    if (rename(temp.c_str(), target.c_str()) == 0) return true;
    why = ErrnoText(errno);
    return false;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace replace

}  // namespace os
