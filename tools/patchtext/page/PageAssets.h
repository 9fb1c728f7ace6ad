// The parts of the page that patchtext view writes, built into the program
// (see EmbedText.cpp): the page's frame with its style, three.js and its
// orbit controls from Debian's libjs-three, and the page's own script.
#pragma once

#include <string_view>

namespace patchtool::page {

extern const std::string_view kFrame;     // view.html: the markers below stand for the other parts
extern const std::string_view kThree;     // three.min.js
extern const std::string_view kControls;  // OrbitControls.js
extern const std::string_view kViewer;    // view.js

}  // namespace patchtool::page
