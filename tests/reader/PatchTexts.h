// Patch text files for the reader's tests, written out by hand in the
// writer's layout, and small helpers to vary them.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "WorkedExample.h"

namespace patchtexts {

// The format's worked example.
inline std::string WorkedExample() { return testdata::kWorkedExample; }

// Forms 1 and 2.
inline std::string Header(const std::string& version, int objects) {
    return "VERSION\t" + version + "\nPATCHOBJECTS\t" + std::to_string(objects) + "\n";
}

// Forms 3 to 14: an object of verts vertices (at (j, 0.5, -2.5)), no
// vectors and one patch with sides corners, each index list as long as
// sides asks for.
inline std::string Object(int number, int verts, int sides = 4) {
    std::string text = "PATCHOBJECT " + std::to_string(number) + "\n\tNUMVERTS " + std::to_string(verts) + "\n";
    for (int j = 0; j < verts; ++j) text += "\t\t" + std::to_string(j) + "\t" + std::to_string(j) + ".0\t0.5\t-2.5\n";
    text += "\tNUMVECS 0\n\tNUMPATCHES 1\n\t\tPATCH 0\n\t\t\tSIDES " + std::to_string(sides) + "\n";
    auto list = [sides](const char* keyword, int count) {
        std::string line = std::string("\t\t\t") + keyword + " ";
        for (int i = 0; i < count * sides; ++i) line += std::to_string(i) + " ";
        return line + "\n";
    };
    return text + list("VERTS", 1) + list("VECS", 2) + list("INTERIOR", 1) + list("ADJACENT", 1);
}

// Forms 15 and 16: count cameras, camera m at (m, 1, 2) looking at (3, 4, 5).
inline std::string Cameras(int count) {
    std::string text = "NUMCAMERAS " + std::to_string(count) + "\n";
    for (int m = 0; m < count; ++m) text += "CAMERA " + std::to_string(m) + "\t" + std::to_string(m) + " 1 2\t3 4 5\n";
    return text;
}

// text with the first occurrence of from replaced by to; from must occur.
inline std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "\"" << from << "\" is not in the text";
        return text;
    }
    return text.replace(at, from.size(), to);
}

}  // namespace patchtexts
