// Writing a file so that no failure and no killed process loses what it
// held before: the new contents go to a temporary file beside it, which
// takes the file's place only when everything was written, flushed and
// closed.
//
// Where moving a new file over the old one is not right, the file is
// written in place as a plain open for writing would: a FIFO or a device
// (/dev/stdout, /dev/null), a file with several hard links (every name
// sees the new contents), a file whose folder refuses new files although
// the file itself may be written, a file whose path leaves no room for a
// longer temporary name within the platform's longest path, and on Windows
// a file that another program holds open without letting it be replaced.
// A file that did not exist before is removed again when such a write
// fails. A symbolic link stays
// a link: the file it leads to is replaced. The replaced file keeps its
// permission bits and, where the process may set it, its owner; a new file
// gets the permissions a plain open would give it.
//
// Temporary files are named ".NAME.ferrule-XXXXXXXX.tmp" and created only
// where no file of that name exists, so a leftover of a killed run stays
// out of the next one's way.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace os {

// How the stream writes: text (line ends as the platform writes them, CR LF
// on Windows) or bytes as they are.
enum class WriteMode { kText, kBinary };

class FileReplacement {
public:
    // Opens the stream that writes path. Stream() is null when the file
    // cannot be written; Failure() says why.
    FileReplacement(const std::string& path, WriteMode mode);
    // Abandons the writing unless it was committed: the temporary file goes,
    // the old file stays as it was.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    std::FILE* Stream() const { return stream_; }
    // Whether the file is being written in place rather than replaced.
    bool InPlace() const { return temp_.empty(); }
    // Flushes and closes the stream and puts the new file in place. Answers
    // false, leaving the old file as it was, when any step failed (a write,
    // the flush, the close, the move).
    bool Commit();
    // What failed, for a message: "No space left on device" and the like.
    const std::string& Failure() const { return failure_; }

private:
    void Abandon();

    std::FILE* stream_ = nullptr;
    std::string target_;  // the file that is replaced, its links followed
    std::string temp_;    // empty when writing in place
    std::string failure_;
    // The file did not exist and is written in place: abandoning removes it.
    bool created_ = false;
    // A temporary takes an existing file's place: its contents reach the
    // disk before the move, so that a crash of the whole machine too leaves
    // the old file or the new one. A file that did not exist has nothing to
    // lose and is not synced; neither is one written in place.
    bool replacing_ = false;
};

// The name of a temporary file beside target: the folder of target (up to
// its last separator, any of separators), then ".NAME.ferrule-" with up to
// kKeptNameLength bytes of the name, eight hexadecimal digits of unique, and
// ".tmp". Less of the name is kept where the whole would be longer than
// maxLength, the platform's longest path.
std::string TempSibling(const std::string& target, const char* separators, unsigned long unique, std::size_t maxLength);
// Bytes of the target's name kept in its temporary's name, so that the
// temporary's name fits a folder entry of 255 bytes.
constexpr std::size_t kKeptNameLength = 200;
// A number for a temporary's name that differs between processes and
// between calls: the process id, the clock and a running count, mixed.
unsigned long UniqueNumber(unsigned long processId, unsigned long long clock);

}  // namespace os
