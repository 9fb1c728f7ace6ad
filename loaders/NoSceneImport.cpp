// The scene importer of builds without one (the Windows cross builds: the
// importer library has no build for them). Every other loader works.
#include "loaders/SceneImport.h"

namespace {

SceneLoad Unavailable(const std::string& name) {
    return {nullptr, name + ": this build has no importer for scenes of other tools"};
}

}  // namespace

bool HasSceneImporter() { return false; }

std::vector<std::string> ImporterExtensions() { return {}; }

SceneLoad ImportSceneFile(const std::string& path, const LoadListener&) { return Unavailable(path); }

SceneLoad ImportSceneBytes(const std::string&, const std::string&, const std::string& name, const LoadListener&) {
    return Unavailable(name);
}
