#include "loaders/DeclaredCounts.h"

#include <charconv>
#include <cstring>
#include <algorithm>
#include <limits>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

// The header of a PLY file ends within this many bytes (a longer one is
// refused before the import, see AssimpImport.cpp).
constexpr std::uint64_t kPlyHeaderLimit = std::uint64_t{1} << 20;
// A binary STL: an 80-byte header, a 32-bit triangle count, then 50 bytes
// per triangle (normal, three corners, attribute count).
constexpr std::uint64_t kStlHeaderBytes = 84;
constexpr std::uint64_t kStlTriangleBytes = 50;
// The shortest text of an OFF vertex ("0 0 0" and a line end) and face
// (a corner count and a line end).
constexpr std::uint64_t kOffVertexBytes = 6;
constexpr std::uint64_t kOffFaceBytes = 2;

bool Blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The stream's next whitespace-separated token; false at its end.
bool NextToken(std::streambuf& in, std::string& token) {
    token.clear();
    int c = in.sbumpc();
    while (c != std::char_traits<char>::eof() && Blank(c)) c = in.sbumpc();
    while (c != std::char_traits<char>::eof() && !Blank(c)) {
        token.push_back(static_cast<char>(c));
        c = in.sbumpc();
    }
    return !token.empty();
}

bool Skip(std::istream& in, std::uint64_t bytes) {
    while (bytes > 0) {
        const auto step = static_cast<std::streamsize>(
            std::min<std::uint64_t>(bytes, static_cast<std::uint64_t>(std::numeric_limits<std::streamsize>::max())));
        in.ignore(step);
        if (in.gcount() != step) return false;
        bytes -= static_cast<std::uint64_t>(step);
    }
    return true;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    return parsed.ec == std::errc() && parsed.ptr == end;
}

std::string Plural(const std::string& name) {
    if (name == "vertex") return "vertices";
    return name.empty() || name.back() == 's' ? name : name + "s";
}

std::string Counted(std::uint64_t count, const std::string& name) {
    return std::to_string(count) + " " + (count == 1 ? name : Plural(name));
}

std::string EndsAfter(std::uint64_t done, std::uint64_t declared, const std::string& name) {
    return "the file ends after " + std::to_string(done) + " of the " + Counted(declared, name) +
           " that its header declares";
}

// --- PLY ---

struct PlyProperty {
    bool list = false;
    unsigned countBytes = 0;  // a list's length
    unsigned itemBytes = 0;   // a value, or each item of a list
    bool signedCount = false;
};

struct PlyElement {
    std::string name;
    std::uint64_t count = 0;
    std::vector<PlyProperty> properties;
};

enum class PlyFormat { kAscii, kLittle, kBig, kUnknown };

// The bytes of a PLY value type; 0 for a name PLY does not have.
unsigned PlyTypeBytes(const std::string& type, bool* isSigned = nullptr) {
    struct Type {
        const char* name;
        unsigned bytes;
        bool isSigned;
    };
    static const Type kTypes[] = {{"char", 1, true},  {"int8", 1, true},    {"uchar", 1, false},  {"uint8", 1, false},
                                  {"short", 2, true}, {"int16", 2, true},   {"ushort", 2, false}, {"uint16", 2, false},
                                  {"int", 4, true},   {"int32", 4, true},   {"uint", 4, false},   {"uint32", 4, false},
                                  {"float", 4, true}, {"float32", 4, true}, {"double", 8, true},  {"float64", 8, true}};
    for (const Type& t : kTypes) {
        if (type != t.name) continue;
        if (isSigned) *isSigned = t.isSigned;
        return t.bytes;
    }
    return 0;
}

// Reads the header up to its end_header line; false for a header of a form
// this does not check.
bool ReadPlyHeader(std::istream& in, PlyFormat& format, std::vector<PlyElement>& elements) {
    format = PlyFormat::kUnknown;
    std::uint64_t read = 0;
    for (std::string line; std::getline(in, line);) {
        read += line.size() + 1;
        if (read > kPlyHeaderLimit) return false;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "end_header") return format != PlyFormat::kUnknown;
        if (keyword == "format") {
            std::string name;
            words >> name;
            format = name == "ascii"                  ? PlyFormat::kAscii
                     : name == "binary_little_endian" ? PlyFormat::kLittle
                     : name == "binary_big_endian"    ? PlyFormat::kBig
                                                      : PlyFormat::kUnknown;
        } else if (keyword == "element") {
            PlyElement element;
            std::string count;
            words >> element.name >> count;
            if (!ParseNumber(count, element.count)) return false;
            elements.push_back(element);
        } else if (keyword == "property") {
            if (elements.empty()) return false;
            std::string type, countType, itemType;
            words >> type;
            PlyProperty property;
            if (type == "list") {
                words >> countType >> itemType;
                property.list = true;
                property.countBytes = PlyTypeBytes(countType, &property.signedCount);
                property.itemBytes = PlyTypeBytes(itemType);
                // A list's length is a count: an integer type, read as one.
                if (property.countBytes == 0 || countType.find("float") != std::string::npos ||
                    countType.find("double") != std::string::npos)
                    return false;
            } else {
                property.itemBytes = PlyTypeBytes(type);
            }
            if (property.itemBytes == 0) return false;
            elements.back().properties.push_back(property);
        }
    }
    return false;
}

// One element's worth of an ASCII body; false when the file ends first or
// a list length is not a count (then malformed tells which).
bool AsciiElement(std::streambuf& in, const PlyElement& element, bool& malformed) {
    std::string token;
    for (const PlyProperty& property : element.properties) {
        if (!NextToken(in, token)) return false;
        if (!property.list) continue;
        std::uint64_t length = 0;
        if (!ParseNumber(token, length)) {
            malformed = true;
            return false;
        }
        for (std::uint64_t i = 0; i < length; ++i)
            if (!NextToken(in, token)) return false;
    }
    return true;
}

std::uint64_t BinaryCount(const unsigned char* bytes, unsigned size, bool big, bool isSigned, bool& negative) {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < size; ++i) value = (value << 8) | bytes[big ? i : size - 1 - i];
    negative = isSigned && (bytes[big ? 0 : size - 1] & 0x80) != 0;
    return value;
}

bool BinaryElement(std::istream& in, const PlyElement& element, bool big, bool& malformed) {
    for (const PlyProperty& property : element.properties) {
        if (!property.list) {
            if (!Skip(in, property.itemBytes)) return false;
            continue;
        }
        unsigned char count[8];
        if (!in.read(reinterpret_cast<char*>(count), property.countBytes)) return false;
        bool negative = false;
        const std::uint64_t length = BinaryCount(count, property.countBytes, big, property.signedCount, negative);
        if (negative) {
            malformed = true;
            return false;
        }
        // A length whose bytes pass every file's size cannot be there.
        if (length > std::numeric_limits<std::uint64_t>::max() / property.itemBytes) return false;
        if (!Skip(in, length * property.itemBytes)) return false;
    }
    return true;
}

// Elements without lists have a size of their own, and a run of them is
// skipped whole.
bool FixedSize(const PlyElement& element, std::uint64_t& bytes) {
    bytes = 0;
    for (const PlyProperty& property : element.properties) {
        if (property.list) return false;
        bytes += property.itemBytes;
    }
    return true;
}

std::string PlyProblem(std::istream& in) {
    PlyFormat format;
    std::vector<PlyElement> elements;
    if (!ReadPlyHeader(in, format, elements)) return std::string();
    std::streambuf& buffer = *in.rdbuf();
    for (const PlyElement& element : elements) {
        if (element.properties.empty()) continue;  // holds nothing, however many it declares
        std::uint64_t fixed = 0;
        if (format != PlyFormat::kAscii && FixedSize(element, fixed) &&
            (element.count == 0 || fixed <= std::numeric_limits<std::uint64_t>::max() / element.count)) {
            if (Skip(in, fixed * element.count)) continue;
            const std::uint64_t got = static_cast<std::uint64_t>(in.gcount() >= 0 ? in.gcount() : 0);
            return EndsAfter(fixed == 0 ? 0 : got / fixed, element.count, element.name);
        }
        for (std::uint64_t i = 0; i < element.count; ++i) {
            bool malformed = false;
            const bool whole = format == PlyFormat::kAscii
                                   ? AsciiElement(buffer, element, malformed)
                                   : BinaryElement(in, element, format == PlyFormat::kBig, malformed);
            if (malformed) return "a list of " + Plural(element.name) + " has a length that is not a count";
            if (!whole) return EndsAfter(i, element.count, element.name);
        }
    }
    return std::string();
}

// --- STL ---

std::string StlProblem(std::istream& in, std::uint64_t size) {
    if (size < kStlHeaderBytes) return std::string();
    char header[kStlHeaderBytes];
    if (!in.read(header, sizeof header)) return std::string();
    std::size_t start = 0;
    while (start < 80 && Blank(header[start])) ++start;
    const bool saysSolid = std::strncmp(header + start, "solid", 5) == 0;
    // A text file has no NUL; a binary one whose header begins "solid"
    // (some exporters write it) has them in its numbers.
    const bool text = saysSolid && std::memchr(header, '\0', sizeof header) == nullptr;
    if (text) return std::string();
    std::uint32_t count = 0;
    for (int i = 3; i >= 0; --i) count = (count << 8) | static_cast<unsigned char>(header[80 + i]);
    const std::uint64_t expected = kStlHeaderBytes + kStlTriangleBytes * count;
    if (expected == size) return std::string();
    return "the binary STL header declares " + Counted(count, "triangle") + " (" + std::to_string(expected) +
           " bytes), but the file has " + std::to_string(size) + " bytes";
}

// --- OFF ---

bool OffKeyword(const std::string& word) {
    static const char* const kKeywords[] = {"OFF", "COFF", "NOFF", "CNOFF", "STOFF", "STCOFF", "STNOFF", "STCNOFF"};
    for (const char* keyword : kKeywords)
        if (word == keyword) return true;
    return false;
}

// The next line that holds anything but a comment; false at the end.
bool NextContentLine(std::istream& in, std::string& line) {
    while (std::getline(in, line)) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string::npos && line[first] != '#') return true;
    }
    return false;
}

std::string OffProblem(std::istream& in, std::uint64_t size) {
    std::string line;
    if (!NextContentLine(in, line)) return std::string();
    std::istringstream first(line);
    std::string keyword, vertices, faces;
    first >> keyword;
    if (!OffKeyword(keyword)) return std::string();
    if (!(first >> vertices) && NextContentLine(in, line)) {
        first = std::istringstream(line);
        first >> vertices;
    }
    first >> faces;
    std::uint64_t numVertices = 0, numFaces = 0;
    if (!ParseNumber(vertices, numVertices) || !ParseNumber(faces, numFaces)) return std::string();
    const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max() / 16;
    if (numVertices > limit || numFaces > limit || numVertices * kOffVertexBytes + numFaces * kOffFaceBytes > size) {
        return "its header declares " + Counted(numVertices, "vertex") + " and " + Counted(numFaces, "face") +
               ", more than a file of " + std::to_string(size) +
               " bytes can hold (refused before any memory is taken for them)";
    }
    for (std::uint64_t v = 0; v < numVertices; ++v)
        if (!NextContentLine(in, line)) return EndsAfter(v, numVertices, "vertex");
    for (std::uint64_t f = 0; f < numFaces; ++f)
        if (!NextContentLine(in, line)) return EndsAfter(f, numFaces, "face");
    return std::string();
}

}  // namespace

std::string DeclaredCountsProblem(const std::string& extension, std::istream& in, std::uint64_t size) {
    if (extension == ".ply") return PlyProblem(in);
    if (extension == ".stl") return StlProblem(in, size);
    if (extension == ".off") return OffProblem(in, size);
    return std::string();
}
