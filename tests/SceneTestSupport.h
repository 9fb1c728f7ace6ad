// Helpers of the scene tests: an in-memory host installed for one test, and
// small patch meshes that tell themselves apart.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "memhost/MemoryHost.h"
#include "patchio/PatchIO.h"

// Installs an in-memory host for the lifetime of the object and clears the
// host's counters.
class InstalledHost {
public:
    InstalledHost() : previous_(SetCOREInterface(&host)) { HostStats() = MemoryHostStats(); }
    ~InstalledHost() { SetCOREInterface(previous_); }
    InstalledHost(const InstalledHost&) = delete;
    InstalledHost& operator=(const InstalledHost&) = delete;

    MemoryNode& Root() { return host.Root(); }

    MemoryInterface host;

private:
    Interface* previous_;
};

// A one-triangle mesh whose first vertex has x = tag.
inline MemoryPatchMesh TaggedMesh(float tag) {
    MemoryPatchMesh mesh;
    mesh.verts = {{tag, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.vecs = {{-0.0f, 0.25f, 1e-30f}};
    HostPatch patch;
    patch.type = 3;
    patch.vertIndex[0] = 0;
    patch.vertIndex[1] = 1;
    patch.vertIndex[2] = 2;
    patch.edgeIndex[0] = 0;
    mesh.patches.push_back(patch);
    mesh.edges.push_back({0, -1});
    return mesh;
}

inline float TagOf(const ExportPatchObject& object) { return object.VertAt(0).x; }

inline std::string ReadWholeFile(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}

// Names a table-driven case by its name field.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}
