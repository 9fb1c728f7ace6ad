// The scene importer on assimp: reads a file with the properties that keep
// the file's own axes, units and node tree, then builds the host scene.
#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <assimp/LogStream.hpp>
#include <assimp/ProgressHandler.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <new>
#include <optional>
#include <sstream>

#include "loaders/CameraTargets3ds.h"
#include "loaders/DeclaredCounts.h"
#include "loaders/GltfCounts.h"
#include "loaders/ImportedScene.h"
#include "loaders/LoadGuard.h"
#include "loaders/SceneImport.h"
#include "text/AsciiCase.h"

namespace {

// The loaders' own extensions: the importer is not asked for these.
const char* const kOwnExtensions[] = {".json", ".bpt", ".obj"};

// Formats whose root node is the importer's own (a COLLADA visual scene and
// a 3DS file have no root transform), so that the transform the importer
// puts there, its unit scaling or its up-axis rotation, is dropped.
const char* const kImporterRoots[] = {"Collada Importer", "Discreet 3DS Importer"};
// The format whose camera targets are read from the file itself.
const char* const kTargetCameras = "Discreet 3DS Importer";
// The format whose declared triangles are counted against the scene's.
const char* const kGltf2 = "glTF2 Importer";

// Warnings of the importer that mean it dropped part of the file.
const char* const kDroppedData[] = {"out-of-range", "out of range"};

// How much of a file's start is searched for the end of a PLY header.
constexpr std::size_t kPlyHeaderLimit = 1u << 20;

// The importer library's PLY reader reads a header that has no end line
// forever, so such a file is refused before it is read. start is the
// file's first bytes (up to kPlyHeaderLimit).
std::string PlyHeaderProblem(const std::string& start) {
    if (start.rfind("ply", 0) != 0 || start.find("end_header") != std::string::npos) return std::string();
    return "the PLY header has no end_header line in its first megabyte";
}

// Reports the read's progress as a status line.
class ReadProgress final : public Assimp::ProgressHandler {
public:
    ReadProgress(const std::string& name, const LoadListener& listener) : name_(name), listener_(listener) {}

    bool Update(float percentage) override {
        const int percent = std::isfinite(percentage) ? static_cast<int>(std::clamp(percentage, 0.0f, 1.0f) * 100) : 0;
        if (listener_.status && percent != shown_)
            listener_.status("reading " + name_ + ": " + std::to_string(percent) + "%");
        shown_ = percent;
        return true;
    }

private:
    const std::string& name_;
    const LoadListener& listener_;
    int shown_ = -1;
};

// Lends the importer a progress handler for as long as it lives: the
// importer deletes the handler it holds when it ends, so the guard takes
// it back first, whatever way the read ends.
class LentProgress {
public:
    LentProgress(Assimp::Importer& importer, ReadProgress& progress) : importer_(importer) {
        importer_.SetProgressHandler(&progress);
    }
    ~LentProgress() { importer_.SetProgressHandler(nullptr); }
    LentProgress(const LentProgress&) = delete;
    LentProgress& operator=(const LentProgress&) = delete;

private:
    Assimp::Importer& importer_;
};

// Collects the importer's warnings and errors while it lives: on the
// logger that the program has set up where there is one (restored as it
// was after), else on a logger of its own for the read.
class LogCapture final : public Assimp::LogStream {
public:
    LogCapture() : own_(Assimp::DefaultLogger::isNullLogger()) {
        if (own_) Assimp::DefaultLogger::create(nullptr, Assimp::Logger::NORMAL, 0);
        Assimp::DefaultLogger::get()->attachStream(this, kSeverities);
    }
    ~LogCapture() override {
        Assimp::DefaultLogger::get()->detachStream(this, kSeverities);
        if (own_) Assimp::DefaultLogger::kill();
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    void write(const char* message) override { messages_ += message; }

    // The first warning that tells of dropped data, without its prefix. The
    // importer says so only in its log (the scene holds what is left).
    std::string DroppedData() const {
        std::istringstream lines(messages_);
        for (std::string line; std::getline(lines, line);) {
            for (const char* sign : kDroppedData) {
                if (line.find(sign) == std::string::npos) continue;
                const std::size_t text = line.find(": ");
                return text == std::string::npos ? line : line.substr(text + 2);
            }
        }
        return std::string();
    }

private:
    static constexpr unsigned kSeverities = Assimp::Logger::Warn | Assimp::Logger::Err;
    bool own_;
    std::string messages_;
};

// Keeps what parts of the importer print to the standard streams
// themselves (not through its logger) out of the program's output while
// it lives.
class QuietStandardStreams {
public:
    QuietStandardStreams()
        : out_(std::cout.rdbuf(&sink_)), err_(std::cerr.rdbuf(&sink_)), log_(std::clog.rdbuf(&sink_)) {}
    ~QuietStandardStreams() {
        std::cout.rdbuf(out_);
        std::cerr.rdbuf(err_);
        std::clog.rdbuf(log_);
    }
    QuietStandardStreams(const QuietStandardStreams&) = delete;
    QuietStandardStreams& operator=(const QuietStandardStreams&) = delete;

private:
    std::stringbuf sink_;
    std::streambuf* out_;
    std::streambuf* err_;
    std::streambuf* log_;
};

// The importer's own check, in the scene's words: its messages begin so.
constexpr const char* kValidationFailed = "Validation failed: ";

void SetProperties(Assimp::Importer& importer) {
    // COLLADA: no rotation of a Z-up or X-up file into Y-up.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_IGNORE_UP_DIRECTION, true);
    // FBX: units as the file holds them, and one node per model with its
    // whole local transform rather than a chain of pivot helper nodes.
    importer.SetPropertyBool(AI_CONFIG_FBX_CONVERT_TO_M, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_ANIMATIONS, false);
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_READ_TEXTURES, false);
    // No meshes made up to show a skeleton.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_NO_SKELETON_MESHES, true);
    // No scale of the whole scene.
    importer.SetPropertyFloat(AI_CONFIG_GLOBAL_SCALE_FACTOR_KEY, 1.0f);
}

// The name of the importer that read the scene, as it records it.
std::string Format(const aiScene& scene) {
    aiString format;
    if (!scene.mMetaData || !scene.mMetaData->Get("SourceAsset_Format", format)) return std::string();
    return format.C_Str();
}

// The importer's check's complaint about a part the export does not use,
// in the project's words where it is one of the kinds met in real files.
std::string PassedOver(const std::string& fault) {
    const std::string light = "aiScene::mLights[";
    const std::string noNode = "] has no corresponding node in the scene graph (";
    const std::size_t node = fault.find(noNode);
    if (fault.rfind(light, 0) == 0 && node != std::string::npos && fault.back() == ')')
        return "light \"" + fault.substr(node + noNode.size(), fault.size() - node - noNode.size() - 1) +
               "\", which has no node";
    const std::string mesh = "The mesh ";
    const std::string empty = " contains no vertices";
    if (fault.rfind(mesh, 0) == 0 && fault.size() > mesh.size() + empty.size() &&
        fault.compare(fault.size() - empty.size(), empty.size(), empty) == 0)
        return "mesh \"" + fault.substr(mesh.size(), fault.size() - mesh.size() - empty.size()) +
               "\", which has no vertices";
    return "a part that the importer's check refuses: " + fault;
}

// The triangles of the scene's meshes.
std::uint64_t SceneTriangles(const aiScene& scene) {
    std::uint64_t triangles = 0;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh* mesh = scene.mMeshes ? scene.mMeshes[m] : nullptr;
        if (!mesh || !mesh->mFaces) continue;
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) triangles += mesh->mFaces[f].mNumIndices == 3 ? 1 : 0;
    }
    return triangles;
}

// Faces that the importer dropped, seen in the counts where the file's
// declared ones can be read (glTF 2.0), else in the importer's log.
std::string DroppedFaces(const aiScene& scene, const std::string& format, const std::string& logged,
                         const std::function<std::string()>& bytes) {
    if (format == kGltf2) {
        const std::optional<std::uint64_t> declared = GltfDeclaredTriangles(bytes());
        const std::uint64_t kept = SceneTriangles(scene);
        if (declared && kept < *declared) {
            const std::uint64_t lost = *declared - kept;
            return std::to_string(lost) + " of the " + std::to_string(*declared) +
                   " triangles that the file declares " + (lost == 1 ? "was" : "were") +
                   " dropped by the importer (out-of-range indices)";
        }
    }
    return logged;
}

// One read of the file by an importer of its own (an importer that has
// read a file does not always read one again soundly).
class Reading {
public:
    Reading(const std::string& name, const LoadListener& listener) : progress_(name, listener) {
        SetProperties(importer_);
    }

    template <typename Read>
    const aiScene* Run(Read&& read, unsigned flags) {
        const LentProgress lent(importer_, progress_);
        return read(importer_, flags);
    }
    std::string Error() const { return importer_.GetErrorString(); }

private:
    Assimp::Importer importer_;
    ReadProgress progress_;
};

template <typename Read>
SceneLoad ImportUnguarded(const std::string& name, const LoadListener& listener, Read&& read,
                          const std::function<std::string()>& bytes) {
    LogCapture log;
    const QuietStandardStreams quiet;
    Reading checked(name, listener);
    std::optional<Reading> unchecked;
    // Validation only: no step that moves, merges, splits or triangulates.
    const aiScene* scene = checked.Run(read, aiProcess_ValidateDataStructure);
    std::string fault;
    if (!scene) {
        // The importer's check refuses a whole file over any part, one that
        // the export does not use too (a light without a node, an empty
        // mesh beside good ones). Read without it, the scene builder checks
        // what the export uses, and refuses in its own words what is wrong.
        fault = checked.Error();
        if (fault.rfind(kValidationFailed, 0) != 0) return {nullptr, name + ": the importer refuses it: " + fault};
        fault.erase(0, std::char_traits<char>::length(kValidationFailed));
        scene = unchecked.emplace(name, listener).Run(read, 0);
        if (!scene) return {nullptr, name + ": the importer refuses it: " + unchecked->Error()};
    }
    const std::string format = Format(*scene);
    const std::string dropped = DroppedFaces(*scene, format, log.DroppedData(), bytes);
    if (!dropped.empty()) return {nullptr, name + ": " + dropped};
    ImportOptions options;
    options.name = name;
    options.dropRootTransform =
        std::find(std::begin(kImporterRoots), std::end(kImporterRoots), format) != std::end(kImporterRoots);
    if (format == kTargetCameras && scene->mNumCameras > 0) options.cameraTargets = CameraTargets3ds(bytes());
    SceneLoad load = BuildImportedScene(*scene, options, listener);
    if (load && !fault.empty() && listener.warn) listener.warn(name + ": left out " + PassedOver(fault));
    return load;
}

// The import, with whatever the importer or the scene's building throws
// turned into an error.
template <typename Read>
SceneLoad Import(const std::string& name, const LoadListener& listener, Read&& read,
                 const std::function<std::string()>& bytes) {
    return GuardedLoad<SceneLoad>(name, [&] { return ImportUnguarded(name, listener, read, bytes); });
}

}  // namespace

bool HasSceneImporter() { return true; }

std::vector<std::string> ImporterExtensions() {
    aiString list;
    Assimp::Importer().GetExtensionList(list);
    std::vector<std::string> extensions;
    std::istringstream items(list.C_Str());
    for (std::string item; std::getline(items, item, ';');) {
        const std::string extension =
            LowerAscii(item.substr(item.find('.') == std::string::npos ? item.size() : item.find('.')));
        if (extension.size() < 2 ||
            std::find(std::begin(kOwnExtensions), std::end(kOwnExtensions), extension) != std::end(kOwnExtensions)) {
            continue;
        }
        extensions.push_back(extension);
    }
    std::sort(extensions.begin(), extensions.end());
    extensions.erase(std::unique(extensions.begin(), extensions.end()), extensions.end());
    return extensions;
}

SceneLoad ImportSceneFile(const std::string& path, const LoadListener& listener) {
    std::string start(kPlyHeaderLimit, '\0');
    std::ifstream head(path, std::ios::binary);
    head.read(&start[0], static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(std::max<std::streamsize>(head.gcount(), 0)));
    std::string problem = PlyHeaderProblem(start);
    if (problem.empty()) {
        std::error_code unknown;
        const std::uintmax_t size = std::filesystem::file_size(path, unknown);
        std::ifstream in(path, std::ios::binary);
        if (!unknown)
            problem = DeclaredCountsProblem(LowerAscii(std::filesystem::path(path).extension().string()), in, size);
    }
    if (!problem.empty()) return {nullptr, path + ": " + problem};
    const auto read = [&](Assimp::Importer& importer, unsigned flags) { return importer.ReadFile(path, flags); };
    return Import(path, listener, read, [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
}

SceneLoad ImportSceneBytes(const std::string& bytes, const std::string& extension, const std::string& name,
                           const LoadListener& listener) {
    std::string problem = PlyHeaderProblem(bytes.substr(0, kPlyHeaderLimit));
    if (problem.empty()) {
        std::istringstream in(bytes);
        problem = DeclaredCountsProblem(LowerAscii(extension.rfind('.', 0) == 0 ? extension : "." + extension), in,
                                        bytes.size());
    }
    if (!problem.empty()) return {nullptr, name + ": " + problem};
    const std::string hint = extension.empty() || extension[0] != '.' ? extension : extension.substr(1);
    const auto read = [&](Assimp::Importer& importer, unsigned flags) {
        return importer.ReadFileFromMemory(bytes.data(), bytes.size(), flags, hint.c_str());
    };
    return Import(name, listener, read, [&] { return bytes; });
}
