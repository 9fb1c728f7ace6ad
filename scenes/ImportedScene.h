// An imported scene (the importer's aiScene) as an in-memory host scene;
// see scenes/SceneImport.h for what becomes what.
#pragma once

#include <string>

#include "scenes/SceneFiles.h"

struct aiScene;

struct ImportOptions {
    std::string name;               // the file, as errors and warnings name it
    bool dropRootTransform = false; // the root's transform is the importer's, not the file's
};

SceneLoad BuildImportedScene(const aiScene& scene, const ImportOptions& options, const LoadListener& listener);
