// Files built into the scene loaders at build time: the default scene and
// the files it names (see EmbedFiles.cmake).
#pragma once

#include <string_view>

// Sets text to the built-in file of that name; false when there is none.
bool FindEmbeddedFile(std::string_view name, std::string_view& text);
