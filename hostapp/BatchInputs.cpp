#include "hostapp/BatchInputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The loadable files below folder, sorted by path; unreadable parts of the
// tree are passed over.
std::vector<fs::path> FolderFiles(const fs::path& folder, const std::vector<std::string>& extensions) {
    std::vector<fs::path> files;
    std::error_code error;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied, error);
    for (const fs::recursive_directory_iterator end; !error && walk != end; walk.increment(error)) {
        std::error_code kind;
        if (!walk->is_regular_file(kind)) continue;
        const std::string extension = LowerExtension(walk->path());
        if (std::find(extensions.begin(), extensions.end(), extension) != extensions.end())
            files.push_back(walk->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// name, or where another input took it already, name with "-2", "-3", ...
// before the .txt.
std::string Unique(const fs::path& wanted, std::set<std::string>& taken) {
    const std::string base = wanted.string();
    std::string candidate = base + ".txt";
    for (int n = 2; !taken.insert(candidate).second; ++n) candidate = base + "-" + std::to_string(n) + ".txt";
    return candidate;
}

}  // namespace

bool IsBatch(const std::vector<std::string>& arguments) {
    std::error_code error;
    return arguments.size() > 1 || (arguments.size() == 1 && fs::is_directory(arguments[0], error));
}

std::vector<BatchInput> FindBatchInputs(const std::vector<std::string>& arguments, const std::string& outputFolder,
                                        const std::vector<std::string>& extensions) {
    std::vector<BatchInput> inputs;
    std::set<std::string> taken;
    std::error_code error;
    const fs::path out = fs::absolute(outputFolder, error);
    for (const std::string& argument : arguments) {
        std::error_code kind;
        if (!fs::is_directory(argument, kind)) {
            const bool there = fs::exists(argument, kind);
            inputs.push_back({argument, Unique(out / fs::path(argument).filename(), taken),
                              there ? std::string() : argument + ": no such file or folder"});
            continue;
        }
        for (const fs::path& file : FolderFiles(argument, extensions)) {
            const fs::path below = file.lexically_relative(argument);
            inputs.push_back({file.string(), Unique(out / below, taken), std::string()});
        }
    }
    return inputs;
}
