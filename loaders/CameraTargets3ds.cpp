#include "loaders/CameraTargets3ds.h"

#include <cstdint>
#include <cstring>

namespace {

// The chunks on the way to a camera: the file, its editor part, a named
// object, and the object's camera (position, target, roll, lens).
constexpr std::uint16_t kMainChunk = 0x4D4D;
constexpr std::uint16_t kEditorChunk = 0x3D3D;
constexpr std::uint16_t kObjectChunk = 0x4000;
constexpr std::uint16_t kCameraChunk = 0x4700;
// A chunk's header: its id (2 bytes) and its whole length (4 bytes).
constexpr std::size_t kHeaderBytes = 6;
// A camera chunk starts with its position and its target, three floats each.
constexpr std::size_t kCameraBytes = 6 * sizeof(float);

struct Chunk {
    std::uint16_t id = 0;
    std::size_t begin = 0;  // of the chunk's data
    std::size_t end = 0;
};

// Calls visit for every chunk that lies wholly in [begin, end).
template <typename Visit>
void ForEachChunk(const std::string& bytes, std::size_t begin, std::size_t end, Visit&& visit) {
    for (std::size_t at = begin; at + kHeaderBytes <= end;) {
        Chunk chunk;
        std::uint32_t length = 0;
        std::memcpy(&chunk.id, bytes.data() + at, sizeof chunk.id);
        std::memcpy(&length, bytes.data() + at + 2, sizeof length);
        if (length < kHeaderBytes || length > end - at) return;
        chunk.begin = at + kHeaderBytes;
        chunk.end = at + length;
        visit(chunk);
        at = chunk.end;
    }
}

float FloatAt(const std::string& bytes, std::size_t at) {
    float value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

void ReadObject(const std::string& bytes, const Chunk& object, std::map<std::string, Float3>& targets) {
    const std::size_t nameEnd = bytes.find('\0', object.begin);
    if (nameEnd == std::string::npos || nameEnd >= object.end) return;
    const std::string name = bytes.substr(object.begin, nameEnd - object.begin);
    ForEachChunk(bytes, nameEnd + 1, object.end, [&](const Chunk& camera) {
        if (camera.id != kCameraChunk || camera.end - camera.begin < kCameraBytes) return;
        const std::size_t target = camera.begin + 3 * sizeof(float);
        targets.emplace(name, Float3{FloatAt(bytes, target), FloatAt(bytes, target + 4), FloatAt(bytes, target + 8)});
    });
}

}  // namespace

std::map<std::string, Float3> CameraTargets3ds(const std::string& bytes) {
    std::map<std::string, Float3> targets;
    ForEachChunk(bytes, 0, bytes.size(), [&](const Chunk& main) {
        if (main.id != kMainChunk) return;
        ForEachChunk(bytes, main.begin, main.end, [&](const Chunk& editor) {
            if (editor.id != kEditorChunk) return;
            ForEachChunk(bytes, editor.begin, editor.end, [&](const Chunk& object) {
                if (object.id == kObjectChunk) ReadObject(bytes, object, targets);
            });
        });
    });
    return targets;
}
