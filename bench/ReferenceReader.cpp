#include "ReferenceReader.h"

#include <charconv>
#include <cstdlib>
#include <utility>

#include "text/BlockTokeniser.h"

namespace reference {

std::int32_t PlainTokeniser::NextToken() {
    token_[0] = '\0';
    int c = std::fgetc(input_);
    while (c != EOF && IsDelimiter(c)) c = std::fgetc(input_);
    int n = 0;
    while (n < 79 && c != EOF && !IsDelimiter(c)) {
        token_[n++] = static_cast<char>(c);
        c = std::fgetc(input_);
    }
    token_[n] = '\0';
    return c != EOF ? 1 : 0;
}

namespace {

// fgetc and strchr, atoi and atof.
class PlainTokens {
public:
    explicit PlainTokens(std::FILE* file) : tokens_(file, "\r\t\n {}") {}
    bool Next() { return tokens_.NextToken() != 0; }
    const char* Token() const { return tokens_.Token(); }
    std::int32_t Int() const { return std::atoi(tokens_.Token()); }
    float Float() const { return static_cast<float>(std::atof(tokens_.Token())); }

private:
    PlainTokeniser tokens_;
};

// The block tokeniser and from_chars.
class FromCharsTokens {
public:
    explicit FromCharsTokens(std::FILE* file) : tokens_(file) { tokens_.SetDelimiters(PatchIO::kDelimiters); }
    bool Next() { return tokens_.NextToken() != 0; }
    const char* Token() const { return tokens_.GetToken(); }
    std::int32_t Int() const {
        std::int32_t value = 0;
        std::from_chars(Token(), Token() + tokens_.GetTokenLength(), value);
        return value;
    }
    float Float() const {
        double value = 0.0;
        std::from_chars(Token(), Token() + tokens_.GetTokenLength(), value);
        return static_cast<float>(value);
    }

private:
    BlockTokeniser tokens_;
};

template <typename Tokens>
class PlainReader {
public:
    PlainReader(std::FILE* file, PatchIO& set) : tokens_(file), set_(set) {}

    bool ReadFile() {
        if (!Keyword("VERSION") || !Next()) return false;
        const float version = tokens_.Float();
        std::int32_t objects = 0;
        if (!Keyword("PATCHOBJECTS") || !Int(objects)) return false;
        for (std::int32_t i = 0; i < objects; ++i)
            if (!Object(i)) return false;
        if (!(version > 1.0f)) return true;
        std::int32_t cameras = 0;
        if (!Keyword("NUMCAMERAS") || !Int(cameras)) return false;
        for (std::int32_t m = 0; m < cameras; ++m)
            if (!Camera(m)) return false;
        return true;
    }

private:
    bool Next() { return tokens_.Next(); }
    bool Keyword(const char* keyword) { return Next() && std::strcmp(tokens_.Token(), keyword) == 0; }
    bool Index(std::int32_t index) { return Next() && tokens_.Int() == index; }
    bool Int(std::int32_t& value) {
        if (!Next()) return false;
        value = tokens_.Int();
        return true;
    }
    bool Float(float& value) {
        if (!Next()) return false;
        value = tokens_.Float();
        return true;
    }
    bool Point(Float3& p) { return Float(p.x) && Float(p.y) && Float(p.z); }
    bool Ints(std::int32_t* slots, std::int32_t count) {
        for (std::int32_t k = 0; k < count; ++k)
            if (!Int(slots[k])) return false;
        return true;
    }

    bool Points(const char* keyword, ExportPatchObject& object, void (ExportPatchObject::*add)(const Float3&)) {
        std::int32_t count = 0;
        if (!Keyword(keyword) || !Int(count)) return false;
        for (std::int32_t j = 0; j < count; ++j) {
            Float3 p;
            if (!Index(j) || !Point(p)) return false;
            (object.*add)(p);
        }
        return true;
    }

    bool Patch(std::int32_t number, ExportPatchObject& object) {
        ExportPatch patch;
        if (!Keyword("PATCH") || !Index(number) || !Keyword("SIDES") || !Int(patch.sides)) return false;
        if (patch.sides != 3 && patch.sides != 4) return false;
        const std::int32_t s = patch.sides;
        if (!Keyword("VERTS") || !Ints(patch.verts, s) || !Keyword("VECS") || !Ints(patch.vecs, 2 * s)) return false;
        if (!Keyword("INTERIOR") || !Ints(patch.interior, s) || !Keyword("ADJACENT") || !Ints(patch.adjacent, s))
            return false;
        object.AddPatch(patch);
        return true;
    }

    bool Object(std::int32_t number) {
        ExportPatchObject object;
        if (!Keyword("PATCHOBJECT") || !Index(number)) return false;
        if (!Points("NUMVERTS", object, &ExportPatchObject::AddVert)) return false;
        if (!Points("NUMVECS", object, &ExportPatchObject::AddVec)) return false;
        std::int32_t patches = 0;
        if (!Keyword("NUMPATCHES") || !Int(patches)) return false;
        for (std::int32_t k = 0; k < patches; ++k)
            if (!Patch(k, object)) return false;
        set_.AddPatchObject(std::move(object));
        return true;
    }

    bool Camera(std::int32_t number) {
        ExportCamera camera;
        if (!Keyword("CAMERA") || !Index(number) || !Point(camera.position) || !Point(camera.target)) return false;
        set_.AddCamera(camera);
        return true;
    }

    Tokens tokens_;
    PatchIO& set_;
};

template <typename Tokens>
std::int32_t ReadWith(PatchIO& set, const char* path) {
    set.Clear();
    std::FILE* file = std::fopen(path, "r");
    if (!file) return 0;
    bool ok;
    {
        PlainReader<Tokens> reader(file, set);
        ok = reader.ReadFile();
    }
    std::fclose(file);
    return ok ? 1 : 0;
}

}  // namespace

std::int32_t Read(PatchIO& set, const char* path) { return ReadWith<PlainTokens>(set, path); }
std::int32_t ReadFromChars(PatchIO& set, const char* path) { return ReadWith<FromCharsTokens>(set, path); }

}  // namespace reference
