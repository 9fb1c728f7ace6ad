// Small helpers for tests that work with files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <cstdlib>
#include <string>

namespace testfiles {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir() {
        std::random_device seed;
        std::mt19937_64 rng(seed());
        path_ = std::filesystem::temp_directory_path() / ("gantline-test-" + std::to_string(rng()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The file's bytes, exactly as stored (binary mode).
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A data file of the tests.
inline std::string DataFile(const std::string& name) { return std::string(GANTLINE_TEST_DATA) + "/" + name; }

// The platform's text line end, as text-mode writes store "\n".
inline std::string NativeLineEnds(const std::string& text) {
#if defined(_WIN32)
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
#else
    return text;
#endif
}

#if defined(_WIN32)
constexpr bool kWindows = true;
inline void SetEnv(const char* name, const char* value) { _putenv_s(name, value ? value : ""); }
#else
constexpr bool kWindows = false;
inline void SetEnv(const char* name, const char* value) {
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}
#endif

}  // namespace testfiles
