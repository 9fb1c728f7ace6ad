// Why a read failed, as text.
#include <cstdio>
#include <string>

#include "patchio/PatchIO.h"

namespace {

// A token as text fit to print: bytes outside printable ASCII as \xHH.
std::string Printable(const std::string& token) {
    std::string out;
    for (const char ch : token) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
            out.push_back(ch);
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
        out += escaped;
    }
    return out;
}

}  // namespace

std::string ReadFailure::Message() const {
    if (!opened) return "the file could not be opened";
    if (expected.empty()) return "";
    std::string text = line > 0 ? "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " : "";
    text += "expected " + expected + ", found ";
    if (found.empty()) return text + "the end of the file";
    text += "\"" + Printable(found) + "\"";
    if (atEnd) text += " at the end of the file, with no line end after it";
    return text;
}
