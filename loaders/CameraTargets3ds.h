// The targets of the cameras of a 3DS file. A 3DS camera is a target
// camera: it stores the point it looks at, which the importer library
// (assimp 5.2) reads and then loses, leaving its default view direction.
#pragma once

#include <map>
#include <string>

#include "host/HostTypes.h"

// The point each camera of the 3DS file held in bytes looks at, in the
// file's axes, by the camera's name. Empty for a file that is not 3DS or
// holds no cameras; a chunk that overruns its parent ends the search.
std::map<std::string, Float3> CameraTargets3ds(const std::string& bytes);
