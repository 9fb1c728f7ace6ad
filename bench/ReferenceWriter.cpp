#include "ReferenceWriter.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace reference {
namespace {

// The line forms through fprintf.
class PrintfLines {
public:
    explicit PrintfLines(std::FILE* file) : file_(file) {}
    void Text(const char* text) { std::fputs(text, file_); }
    void Count(const char* keyword, std::int32_t n) { std::fprintf(file_, "%s%d\n", keyword, n); }
    void Point(std::int32_t number, const Float3& p) {
        std::fprintf(file_, "\t\t%d\t%f\t%f\t%f\n", number, static_cast<double>(p.x), static_cast<double>(p.y),
                     static_cast<double>(p.z));
    }
    void Values(const char* keyword, const std::int32_t* values, std::int32_t count) {
        std::fputs(keyword, file_);
        for (std::int32_t k = 0; k < count; ++k) std::fprintf(file_, "%d ", values[k]);
        std::fputc('\n', file_);
    }
    void Camera(std::int32_t number, const ExportCamera& c) {
        std::fprintf(file_, "CAMERA %d\t%f %f %f\t%f %f %f\n", number, static_cast<double>(c.position.x),
                     static_cast<double>(c.position.y), static_cast<double>(c.position.z),
                     static_cast<double>(c.target.x), static_cast<double>(c.target.y), static_cast<double>(c.target.z));
    }

private:
    std::FILE* file_;
};

// The same line forms with std::to_chars into a buffer.
class ToCharsLines {
public:
    explicit ToCharsLines(std::FILE* file) : file_(file), buffer_(1 << 16) {}
    ~ToCharsLines() { Flush(); }
    ToCharsLines(const ToCharsLines&) = delete;
    ToCharsLines& operator=(const ToCharsLines&) = delete;

    void Text(const char* text) { Put(text, std::strlen(text)); }
    void Count(const char* keyword, std::int32_t n) {
        Text(keyword);
        Int(n);
        Char('\n');
    }
    void Point(std::int32_t number, const Float3& p) {
        Text("\t\t");
        Int(number);
        for (const float v : {p.x, p.y, p.z}) {
            Char('\t');
            Float(v);
        }
        Char('\n');
    }
    void Values(const char* keyword, const std::int32_t* values, std::int32_t count) {
        Text(keyword);
        for (std::int32_t k = 0; k < count; ++k) {
            Int(values[k]);
            Char(' ');
        }
        Char('\n');
    }
    void Camera(std::int32_t number, const ExportCamera& c) {
        Text("CAMERA ");
        Int(number);
        const float values[] = {c.position.x, c.position.y, c.position.z, c.target.x, c.target.y, c.target.z};
        for (int k = 0; k < 6; ++k) {
            Char(k == 0 || k == 3 ? '\t' : ' ');
            Float(values[k]);
        }
        Char('\n');
    }

private:
    static constexpr std::size_t kRoom = 64;  // the longest number
    void Room() {
        if (buffer_.size() - used_ < kRoom) Flush();
    }
    void Flush() {
        std::fwrite(buffer_.data(), 1, used_, file_);
        used_ = 0;
    }
    void Put(const char* text, std::size_t n) {
        if (buffer_.size() - used_ < n) Flush();
        std::memcpy(buffer_.data() + used_, text, n);
        used_ += n;
    }
    void Char(char c) { Put(&c, 1); }
    void Int(std::int32_t v) {
        Room();
        used_ = static_cast<std::size_t>(std::to_chars(&buffer_[used_], buffer_.data() + buffer_.size(), v).ptr -
                                         buffer_.data());
    }
    void Float(float v) {
        Room();
        char* const end = buffer_.data() + buffer_.size();
        used_ = static_cast<std::size_t>(
            std::to_chars(&buffer_[used_], end, static_cast<double>(v), std::chars_format::fixed, 6).ptr -
            buffer_.data());
    }

    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

// The set in the format's order, line form by line form.
template <typename Lines>
void WriteSet(Lines& out, const PatchIO& set) {
    out.Text("VERSION\t1.10\n");
    out.Count("PATCHOBJECTS\t", set.NumPatchObjects());
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        out.Count("PATCHOBJECT ", i);
        out.Count("\tNUMVERTS ", object.NumVerts());
        for (std::int32_t j = 0; j < object.NumVerts(); ++j) out.Point(j, object.VertAt(j));
        out.Count("\tNUMVECS ", object.NumVecs());
        for (std::int32_t j = 0; j < object.NumVecs(); ++j) out.Point(j, object.VecAt(j));
        out.Count("\tNUMPATCHES ", object.NumPatches());
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) {
            const ExportPatch& patch = object.PatchAt(k);
            out.Count("\t\tPATCH ", k);
            out.Count("\t\t\tSIDES ", patch.sides);
            out.Values("\t\t\tVERTS ", patch.verts, patch.sides);
            out.Values("\t\t\tVECS ", patch.vecs, 2 * patch.sides);
            out.Values("\t\t\tINTERIOR ", patch.interior, patch.sides);
            out.Values("\t\t\tADJACENT ", patch.adjacent, patch.sides);
        }
    }
    out.Count("NUMCAMERAS ", set.NumCameras());
    for (std::int32_t m = 0; m < set.NumCameras(); ++m) out.Camera(m, set.CameraAt(m));
}

template <typename Lines>
std::int32_t WriteWith(const PatchIO& set, const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (!file) return 0;
    {
        Lines lines(file);
        WriteSet(lines, set);
    }
    std::fclose(file);
    return 1;
}

}  // namespace

std::int32_t Write(const PatchIO& set, const char* path) { return WriteWith<PrintfLines>(set, path); }
std::int32_t WriteToChars(const PatchIO& set, const char* path) { return WriteWith<ToCharsLines>(set, path); }

}  // namespace reference
