// The generated export set as an in-memory host scene: each generated patch
// mesh as a patch object under the root, and each camera as a look-at
// camera node with its target node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "memhost/MemoryHost.h"

namespace benchgen {

struct GeneratedScene {
    std::unique_ptr<MemoryNode> root;
    std::size_t hostBytes = 0;  // patch data held by the scene's objects
};

GeneratedScene MakeScene(std::size_t targetBytes, std::uint64_t seed = 1);

// Makes root the scene of the in-memory host while it lives.
class ActiveScene {
public:
    explicit ActiveScene(std::unique_ptr<MemoryNode> root);
    ~ActiveScene();
    ActiveScene(const ActiveScene&) = delete;
    ActiveScene& operator=(const ActiveScene&) = delete;

private:
    MemoryInterface core_;
    Interface* previous_;
};

}  // namespace benchgen
