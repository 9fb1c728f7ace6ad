// Patch text files for the fault tests, built in the writer's layout.
#pragma once

#include <string>

namespace faults {

// One object of three vertices, one vector and one triangle, and one
// camera, as the writer lays it out (LF line ends).
inline std::string TriangleFile() {
    return "VERSION\t1.10\n"
           "PATCHOBJECTS\t1\n"
           "PATCHOBJECT 0\n"
           "\tNUMVERTS 3\n"
           "\t\t0\t0.000000\t0.000000\t0.000000\n"
           "\t\t1\t1.000000\t0.000000\t0.000000\n"
           "\t\t2\t0.000000\t1.000000\t0.000000\n"
           "\tNUMVECS 1\n"
           "\t\t0\t0.500000\t0.500000\t0.000000\n"
           "\tNUMPATCHES 1\n"
           "\t\tPATCH 0\n"
           "\t\t\tSIDES 3\n"
           "\t\t\tVERTS 0 1 2 \n"
           "\t\t\tVECS 0 0 0 0 0 0 \n"
           "\t\t\tINTERIOR 0 0 0 \n"
           "\t\t\tADJACENT -1 -1 -1 \n"
           "NUMCAMERAS 1\n"
           "CAMERA 0\t1.000000 2.000000 3.000000\t4.000000 5.000000 6.000000\n";
}

// Every occurrence of from in text replaced by to.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace faults
