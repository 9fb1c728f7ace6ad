// A consumer of the installed package: what an engine team writes. Writes
// an export set through the installed library, reads it back from memory,
// tessellates its patch with the surface library and writes it as glTF.
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "gltf/ExportSetScene.h"
#include "patchio/PatchIO.h"
#include "patchio/Validate.h"
#include "surface/Tessellator.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    PatchIO set;
    ExportPatchObject quad;
    for (const Float3& p : {Float3(0, 0, 0), Float3(1, 0, 0), Float3(1, 1, 0), Float3(0, 1, 0)}) quad.AddVert(p);
    for (int i = 0; i < 12; ++i) quad.AddVec(Float3(0.25f * static_cast<float>(i % 4), 0.25f, 0));
    ExportPatch patch;
    for (int i = 0; i < 4; ++i) patch.verts[i] = i;
    for (int i = 0; i < 8; ++i) patch.vecs[i] = i;
    for (int i = 0; i < 4; ++i) patch.interior[i] = 8 + i;
    quad.AddPatch(patch);
    set.AddPatchObject(quad);
    set.AddCamera(ExportCamera());
    if (set.Write(argv[1]) != 1) return 1;

    std::FILE* file = std::fopen(argv[1], "r");
    if (!file) return 1;
    char line[64] = {};
    const bool version = std::fgets(line, sizeof line, file) && std::strcmp(line, "VERSION\t1.10\n") == 0;
    std::fclose(file);

    std::string text;
    set.WriteText(text);
    PatchIO back;
    if (!version || back.ReadText(text.data(), text.size()) != 1) return 1;
    const surface::ObjectMesh mesh = surface::TessellateObject(back.PatchObjectAt(0), 4);
    if (mesh.mesh.triangles.size() != 32 || !patchio::Validate(back).empty()) return 1;
    std::ostringstream glb;
    std::string why;
    if (!gltf::WriteExportSet(back, glb, gltf::Container::kBinary, 4, &why)) return 1;
    return glb.str().compare(0, 4, "glTF") == 0 ? 0 : 1;
}
