// What a file's header declares against what the file holds, checked
// before the importer reads it: a PLY whose elements are cut short, a
// binary STL whose triangle count does not match its size, an OFF file
// that ends before its vertices and faces. The importer would read such a
// file as far as it goes and make up the rest (faces of vertex 0, zero
// positions), or allocate what the header declares first.
#pragma once

#include <cstdint>
#include <istream>
#include <string>

// Why the file (extension ".ply", ".stl" or ".off", lower case; any other
// is not checked) holds less than it declares, in words for a message;
// empty when it holds it all or the file is not of a form this checks
// (the importer then says what it says). in is at the file's start; size
// is the file's size in bytes.
std::string DeclaredCountsProblem(const std::string& extension, std::istream& in, std::uint64_t size);
