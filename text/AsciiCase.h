// Lower case for the ASCII letters only, whatever the process locale: for
// file extensions, keywords and module names, which are ASCII by nature.
#pragma once

#include <string>

inline std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}
