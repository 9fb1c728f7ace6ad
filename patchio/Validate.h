// Whether an export set is sound: every index inside its object's lists,
// adjacency in range and mutual, three or four sides, finite coordinates,
// and every point used. The reader checks the grammar of a file; this
// checks what a file that reads, or a set built in memory, holds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"

namespace patchio {

// One thing found. object, patch, camera, slot and axis say where (-1
// where they do not apply); field says what, in the names that
// patchio/ReadPlaces.h gives the tokens of a file, so that a finding is
// located by the token whose ValueRef matches it:
//   "sides"                      the side count of patch `patch`
//   "verts", "vecs", "interior"  index slot `slot` of patch `patch`: outside
//                                the object's vertices or vectors, or -1
//   "adjacent"                   neighbour slot `slot` of patch `patch`:
//                                outside the object's patches, the patch
//                                itself, or a patch that does not name it
//                                back (-1, an open edge, is no finding)
//   "vertex", "vector"           point `slot` of the object: coordinate
//                                `axis` is not finite, or (axis -1) it is
//                                the first of the points no patch uses
//   "position", "target"         coordinate `axis` of camera `camera` is
//                                not finite
// message says it in words, naming the object and patch or camera.
struct Finding {
    std::int32_t object = -1;
    std::int32_t patch = -1;
    std::int32_t camera = -1;
    std::string field;
    std::int32_t slot = -1;
    std::int32_t axis = -1;
    std::string message;
};

// Every finding about set, objects in order, then cameras. A set that
// PatchIO::Write writes and PatchIO::Read reads back whole, with every
// index in range and every neighbour mutual, has none.
std::vector<Finding> Validate(const PatchIO& set);

// The same, handed one at a time, for callers that keep only some of a
// large number.
void Validate(const PatchIO& set, const std::function<void(Finding&&)>& take);

}  // namespace patchio
