#include "ObjReferences.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdio>

#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wconversion"
#  pragma GCC diagnostic ignored "-Wsign-conversion"
#  pragma GCC diagnostic ignored "-Wold-style-cast"
#  pragma GCC diagnostic ignored "-Wshadow"
#endif
#include <tiny_obj_loader.h>
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif

namespace reference {

bool WriteObj(const PatchIO& set, const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) return false;
    const auto point = [file](const Float3& p) {
        std::fprintf(file, "v %f %f %f\n", static_cast<double>(p.x), static_cast<double>(p.y),
                     static_cast<double>(p.z));
    };
    std::int64_t base = 1;  // OBJ counts vertices from 1 across the file
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        std::fprintf(file, "o patchobject_%d\n", i);
        for (std::int32_t j = 0; j < object.NumVerts(); ++j) point(object.VertAt(j));
        for (std::int32_t j = 0; j < object.NumVecs(); ++j) point(object.VecAt(j));
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) {
            const ExportPatch& patch = object.PatchAt(k);
            std::fputc('f', file);
            for (std::int32_t c = 0; c < patch.sides; ++c)
                std::fprintf(file, " %lld", static_cast<long long>(base + patch.verts[c]));
            std::fputc('\n', file);
        }
        base += object.NumVerts() + object.NumVecs();
    }
    return std::fclose(file) == 0;
}

ObjCounts ReadTinyObj(const std::string& path) {
    tinyobj::ObjReaderConfig config;
    config.triangulate = false;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    ObjCounts counts;
    if (!reader.ParseFromFile(path, config)) return counts;
    counts.points = static_cast<std::int64_t>(reader.GetAttrib().vertices.size() / 3);
    for (const tinyobj::shape_t& shape : reader.GetShapes())
        counts.faces += static_cast<std::int64_t>(shape.mesh.num_face_vertices.size());
    counts.ok = true;
    return counts;
}

ObjCounts ReadAssimpObj(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    ObjCounts counts;
    if (!scene) return counts;
    // assimp keeps a point per face corner of its meshes; what it read of the
    // file is its faces.
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) counts.faces += scene->mMeshes[m]->mNumFaces;
    counts.ok = true;
    return counts;
}

}  // namespace reference
