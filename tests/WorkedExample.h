// The format's worked example as the writer lays it out (LF line ends): one
// object with three vertices, nine vectors and one triangular patch, and one
// camera at (0, -200, 50.5). The writer's golden file holds the same bytes.
#pragma once

namespace testdata {

inline constexpr const char* kWorkedExample =
    "VERSION\t1.10\n"
    "PATCHOBJECTS\t1\n"
    "PATCHOBJECT 0\n"
    "\tNUMVERTS 3\n"
    "\t\t0\t0.000000\t0.000000\t0.000000\n"
    "\t\t1\t10.000000\t0.000000\t0.000000\n"
    "\t\t2\t0.000000\t10.000000\t0.000000\n"
    "\tNUMVECS 9\n"
    "\t\t0\t2.500000\t0.000000\t0.000000\n"
    "\t\t1\t7.500000\t0.000000\t0.000000\n"
    "\t\t2\t7.500000\t2.500000\t0.000000\n"
    "\t\t3\t2.500000\t7.500000\t0.000000\n"
    "\t\t4\t0.000000\t7.500000\t0.000000\n"
    "\t\t5\t0.000000\t2.500000\t0.000000\n"
    "\t\t6\t2.500000\t2.500000\t1.000000\n"
    "\t\t7\t5.000000\t2.500000\t1.000000\n"
    "\t\t8\t2.500000\t5.000000\t1.000000\n"
    "\tNUMPATCHES 1\n"
    "\t\tPATCH 0\n"
    "\t\t\tSIDES 3\n"
    "\t\t\tVERTS 0 1 2 \n"
    "\t\t\tVECS 0 1 2 3 4 5 \n"
    "\t\t\tINTERIOR 6 7 8 \n"
    "\t\t\tADJACENT -1 -1 -1 \n"
    "NUMCAMERAS 1\n"
    "CAMERA 0\t0.000000 -200.000000 50.500000\t0.000000 0.000000 0.000000\n";

}  // namespace testdata
