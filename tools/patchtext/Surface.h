// The names of the surface library that the tool's code uses unqualified.
#pragma once

#include "surface/BezierPatch.h"
#include "surface/Tessellator.h"
#include "surface/Vec3.h"

namespace patchtool {

using surface::Box3;
using surface::Cross;
using surface::Dot;
using surface::EdgeSampleIndices;
using surface::IsFinite;
using surface::Length;
using surface::NormalizedOr;
using surface::ObjectMesh;
using surface::PatchNet;
using surface::PatchSamples;
using surface::ResolveNet;
using surface::SkippedPatch;
using surface::TessellateObject;
using surface::TessellatePatches;
using surface::Tessellation;
using surface::TriangleMesh;
using surface::Vec3;

}  // namespace patchtool
