// Where the values of an export set stand in its patch text: the reader,
// asked to, tells a recorder of every token it takes, with its place and
// the value of the set it holds. The grammar stays written once, in the
// reader; callers locate what they know about a set (the findings of
// Validate, a number that reads only in part) through it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "patchio/PatchIO.h"
#include "text/BlockTokeniser.h"

namespace patchio {

// Which value of a set a token holds; field names it, and object, patch,
// camera, slot and axis say whose it is (-1 where they do not apply):
//   "version", "patchobjects", "numcameras"   the file's version and counts
//   "numverts", "numvecs", "numpatches"       the counts of patch object `object`
//   "patchobject", "patch", "camera"          the running index of an object,
//                                             patch or camera
//   "vertex", "vector"   of point `slot` of the object: its running index
//                        (axis -1) or coordinate `axis` (0 x, 1 y, 2 z)
//   "sides", "verts", "vecs", "interior", "adjacent"   slot `slot` of patch
//                        `patch` (sides has no slot)
//   "position", "target" coordinate `axis` of camera `camera`
//   the keyword itself ("VERSION", "PATCH", ...) for keywords
struct ValueRef {
    std::int32_t object = -1;
    std::int32_t patch = -1;
    std::int32_t camera = -1;
    const char* field = "";
    std::int32_t slot = -1;
    std::int32_t axis = -1;
};

// How the reader takes a token.
enum class TokenKind { Keyword, Integer, Float };

class ReadPlaces {
public:
    virtual ~ReadPlaces() = default;
    // Called for every token the reader takes, in file order; text holds
    // length bytes (the token as the reader sees it, NUL-terminated).
    virtual void Token(TokenKind kind, const ValueRef& value, const TextPosition& at, const char* text,
                       std::size_t length) = 0;
};

// PatchIO::ReadText and PatchIO::Read that also tell places of every
// token taken. Token by token: slower than the plain read.
std::int32_t ReadTextWithPlaces(const char* text, std::size_t size, PatchIO& set, ReadPlaces& places,
                                ReadFailure* why = nullptr);
std::int32_t ReadWithPlaces(const char* path, PatchIO& set, ReadPlaces& places, ReadFailure* why = nullptr);

}  // namespace patchio
