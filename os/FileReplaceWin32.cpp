// Replacing a file on Windows: a temporary beside it, put in its place with
// ReplaceFileA, which keeps the replaced file's attributes and security.
#ifndef WIN32_LEAN_AND_MEAN
#  define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#  define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "os/FileReplace.h"
#include "os/FileReplacePlatform.h"

namespace os {
namespace {

// Temporary names tried before giving up when every one is taken.
constexpr int kNameAttempts = 100;
// Room for a resolved path, "\\?\" and the null included.
constexpr DWORD kLongPath = 32768;

std::string Why(DWORD error) {
    char text[256] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text, nullptr);
    std::string why(text, length);
    while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == '.')) why.pop_back();
    return why.empty() ? "Windows error " + std::to_string(error) : why;
}

// path as the system spells it in full: drive, folders and backslashes.
// Every call below then names the file alike; Wine's ReplaceFileA, for
// one, fails on a file named with forward slashes that it opens well.
std::string FullPath(const std::string& path) {
    std::string full(kLongPath, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), kLongPath, full.data(), nullptr);
    if (length == 0 || length >= kLongPath) return path;
    full.resize(length);
    return full;
}

enum class Kind { kMissing, kReplace, kInPlace };

// What is at path, found by opening it with the access a replacement needs
// while letting everyone else share it. A file another program holds open
// without letting it be deleted, a device, a folder, a file with several
// names: in place. A file that cannot be opened at all (read-only, a
// missing folder): in place too, where the plain open reports the same.
// A symbolic link is followed to the file it leads to.
Kind Probe(std::string& target) {
    HANDLE file =
        CreateFileA(target.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? Kind::kMissing : Kind::kInPlace;
    Kind kind = Kind::kReplace;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) || info.nNumberOfLinks > 1 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        kind = Kind::kInPlace;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (kind == Kind::kReplace && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        std::string resolved(kLongPath, '\0');
        const DWORD length = GetFinalPathNameByHandleA(file, resolved.data(), kLongPath, FILE_NAME_NORMALIZED);
        if (length == 0 || length >= kLongPath)
            kind = Kind::kInPlace;
        else
            target = resolved.substr(0, length);
    }
    CloseHandle(file);
    return kind;
}

// Creates a temporary beside target that did not exist before; answers its
// handle and name, or INVALID_HANDLE_VALUE with the last error set.
HANDLE CreateTemp(const std::string& target, std::string& temp) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        LARGE_INTEGER clock{};
        QueryPerformanceCounter(&clock);
        temp = TempSibling(target, "\\/",
                           UniqueNumber(GetCurrentProcessId(), static_cast<unsigned long long>(clock.QuadPart)),
                           MAX_PATH - 1);
        HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    temp.clear();
    return INVALID_HANDLE_VALUE;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& path, WriteMode mode) : target_(FullPath(path)) {
    const bool text = mode == WriteMode::kText;
    const Kind kind = Probe(target_);
    HANDLE file = kind == Kind::kInPlace ? INVALID_HANDLE_VALUE : CreateTemp(target_, temp_);
    // A folder that refuses new files while the file may be written, or a
    // path too long for a temporary's name beside it but not for its own:
    // the file is written in place rather than not at all.
    const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (kind == Kind::kInPlace || (kind == Kind::kReplace && error == ERROR_ACCESS_DENIED) ||
        error == ERROR_FILENAME_EXCED_RANGE) {
        stream_ = std::fopen(path.c_str(), text ? "w" : "wb");
        if (!stream_) failure_ = std::strerror(errno);
        created_ = stream_ && kind == Kind::kMissing;
        return;
    }
    if (file == INVALID_HANDLE_VALUE) {
        failure_ = Why(error);
        return;
    }
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), text ? _O_TEXT : _O_BINARY);
    if (fd < 0) {
        failure_ = Why(GetLastError());
        CloseHandle(file);
        Abandon();
        return;
    }
    stream_ = _fdopen(fd, text ? "wt" : "wb");
    if (!stream_) {
        failure_ = std::strerror(errno);
        _close(fd);
        Abandon();
        return;
    }
    _setmode(fd, text ? _O_TEXT : _O_BINARY);
    replacing_ = kind == Kind::kReplace;
}

namespace replace {

bool SyncToDisk(std::FILE* stream, std::string& why) {
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))))) return true;
    why = Why(GetLastError());
    return false;
}

bool MoveOver(const std::string& temp, const std::string& target, std::string& why) {
    // ReplaceFileA wants a file to replace; a new one is moved in place.
    bool ok =
        ReplaceFileA(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    if (!ok && GetLastError() == ERROR_FILE_NOT_FOUND)
        ok = MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) why = Why(GetLastError());
    return ok;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace replace

}  // namespace os
