#include "ReferenceWriter.h"

#include <cstdio>

namespace reference {
namespace {

void WritePoint(std::FILE* file, std::int32_t number, const Float3& p) {
    std::fprintf(file, "\t\t%d\t%f\t%f\t%f\n", number, static_cast<double>(p.x), static_cast<double>(p.y),
                 static_cast<double>(p.z));
}

void WriteValues(std::FILE* file, const std::int32_t* values, std::int32_t count) {
    for (std::int32_t k = 0; k < count; ++k) std::fprintf(file, "%d ", values[k]);
}

void WritePatch(std::FILE* file, std::int32_t number, const ExportPatch& patch) {
    std::fprintf(file, "\t\tPATCH %d\n", number);
    std::fprintf(file, "\t\t\tSIDES %d\n", patch.sides);
    std::fprintf(file, "\t\t\tVERTS ");
    WriteValues(file, patch.verts, patch.sides);
    std::fprintf(file, "\n\t\t\tVECS ");
    WriteValues(file, patch.vecs, 2 * patch.sides);
    std::fprintf(file, "\n\t\t\tINTERIOR ");
    WriteValues(file, patch.interior, patch.sides);
    std::fprintf(file, "\n\t\t\tADJACENT ");
    WriteValues(file, patch.adjacent, patch.sides);
    std::fprintf(file, "\n");
}

void WriteObject(std::FILE* file, std::int32_t number, const ExportPatchObject& object) {
    std::fprintf(file, "PATCHOBJECT %d\n", number);
    std::fprintf(file, "\tNUMVERTS %d\n", object.NumVerts());
    for (std::int32_t j = 0; j < object.NumVerts(); ++j) WritePoint(file, j, object.VertAt(j));
    std::fprintf(file, "\tNUMVECS %d\n", object.NumVecs());
    for (std::int32_t j = 0; j < object.NumVecs(); ++j) WritePoint(file, j, object.VecAt(j));
    std::fprintf(file, "\tNUMPATCHES %d\n", object.NumPatches());
    for (std::int32_t j = 0; j < object.NumPatches(); ++j) WritePatch(file, j, object.PatchAt(j));
}

void WriteCamera(std::FILE* file, std::int32_t number, const ExportCamera& camera) {
    std::fprintf(file, "CAMERA %d\t%f %f %f\t%f %f %f\n", number, static_cast<double>(camera.position.x),
                 static_cast<double>(camera.position.y), static_cast<double>(camera.position.z),
                 static_cast<double>(camera.target.x), static_cast<double>(camera.target.y),
                 static_cast<double>(camera.target.z));
}

}  // namespace

std::int32_t Write(const PatchIO& set, const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) return 0;
    std::fprintf(file, "VERSION\t%3.2f\n", 1.1);
    std::fprintf(file, "PATCHOBJECTS\t%d\n", set.NumPatchObjects());
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) WriteObject(file, i, set.PatchObjectAt(i));
    std::fprintf(file, "NUMCAMERAS %d\n", set.NumCameras());
    for (std::int32_t k = 0; k < set.NumCameras(); ++k) WriteCamera(file, k, set.CameraAt(k));
    std::fclose(file);
    return 1;
}

}  // namespace reference
