// What the import tests share: the test models that Debian's
// assimp-testmodels package installs, read independently of the importer,
// and walks over an imported host scene.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "memhost/MemoryHost.h"

// Where assimp-testmodels puts its files.
inline const std::string kTestModels = "/usr/share/assimp/models/";

// Whether the tests run under continuous integration (CI=true, as .ci/run
// sets it), where every test model must be there.
inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// Skips the test when the package's file is missing; under continuous
// integration fails it instead, so that a run cannot pass with the import
// tests skipped.
#define REQUIRE_TEST_MODEL(file)                                                                       \
  do {                                                                                                 \
    if (!std::filesystem::exists(kTestModels + (file))) {                                              \
      if (UnderCi()) GTEST_FAIL() << "no " << kTestModels << (file) << " (install assimp-testmodels)"; \
      GTEST_SKIP() << "no " << kTestModels << (file) << " (install assimp-testmodels)";                \
    }                                                                                                  \
  } while (false)

inline std::string ReadModelBytes(const std::string& file) {
    std::ifstream in(kTestModels + file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Calls visit on node and every node under it, parents first.
inline void VisitNodes(MemoryNode& node, const std::function<void(MemoryNode&)>& visit) {
    visit(node);
    for (std::size_t i = 0; i < node.NumChildren(); ++i) VisitNodes(*node.ChildNode(i), visit);
}

inline int CountInText(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}
