// Whether an export set is sound: every index inside its object's lists,
// adjacency in range and mutual, three or four sides, finite coordinates,
// and every point used. The reader checks the grammar of a file; this
// checks what a file that reads, or a set built in memory, holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "patchio/PatchIO.h"

namespace patchio {

// One thing found. object, patch, camera, slot and axis say where (-1 where
// they do not apply) and field what, in the names that patchio/ReadPlaces.h
// gives the values of a file, so that the token whose ValueRef matches is
// where it stands: a patch's "sides", or its index slot in "verts", "vecs"
// or "interior" (outside the object's lists, or -1) or "adjacent" (outside
// the patches, the patch itself, or not naming it back; -1, an open edge, is
// no finding); point `slot` of the object in "vertex" or "vector" (its
// coordinate `axis` not finite, or, with axis -1, the first point that no
// patch uses); coordinate `axis` of camera `camera` in "position" or
// "target". message says it in words, naming the object and patch or camera.
struct Finding {
    std::int32_t object = -1;
    std::int32_t patch = -1;
    std::int32_t camera = -1;
    std::string field;
    std::int32_t slot = -1;
    std::int32_t axis = -1;
    std::string message;
};

// The findings about set, objects in order, then cameras: all of them, or
// the first most. A set with every index in range, every neighbour mutual,
// every point used and finite, has none, as has its copy that
// PatchIO::Write writes and PatchIO::Read reads back.
std::vector<Finding> Validate(const PatchIO& set, std::size_t most = SIZE_MAX);

// The same, handed to take one at a time, for callers that count many and
// keep few; take answers false to stop.
void Validate(const PatchIO& set, const std::function<bool(Finding&&)>& take);

}  // namespace patchio
