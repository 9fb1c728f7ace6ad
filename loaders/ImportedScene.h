// An imported scene (the importer's aiScene) as an in-memory host scene;
// see loaders/SceneImport.h for what becomes what.
#pragma once

#include <map>
#include <string>

#include "host/HostTypes.h"
#include "loaders/SceneFiles.h"

struct aiScene;

struct ImportOptions {
    std::string name;                // the file, as errors and warnings name it
    bool dropRootTransform = false;  // the root's transform is the importer's, not the file's
    // Points that cameras look at, by camera name, in the file root's
    // space, for cameras whose target the importer does not keep.
    std::map<std::string, Float3> cameraTargets;
};

SceneLoad BuildImportedScene(const aiScene& scene, const ImportOptions& options, const LoadListener& listener);
