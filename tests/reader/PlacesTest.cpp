// The places the reader tells are where the writer put each value: random
// sets written, read back with places, and every told token found at its
// line and column with the text the writer writes for the value it names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "patchio/NumberText.h"
#include "patchio/ReadPlaces.h"

namespace {

struct Told {
    patchio::TokenKind kind;
    patchio::ValueRef value;
    std::string field;
    TextPosition at;
    std::string text;
};

class Recorder : public patchio::ReadPlaces {
public:
    void Token(patchio::TokenKind kind, const patchio::ValueRef& value, const TextPosition& at, const char* text,
               std::size_t length) override {
        told.push_back({kind, value, value.field, at, std::string(text, length)});
    }
    std::vector<Told> told;
};

class RandomSet {
public:
    explicit RandomSet(std::uint32_t seed) : rng_(seed) {}
    void Fill(PatchIO& set) {
        for (int i = Pick(0, 3); i > 0; --i) {
            ExportPatchObject object;
            for (int j = Pick(0, 12); j > 0; --j) object.AddVert(Point());
            for (int j = Pick(0, 20); j > 0; --j) object.AddVec(Point());
            for (int k = Pick(0, 6); k > 0; --k) object.AddPatch(Patch());
            set.AddPatchObject(object);
        }
        for (int m = Pick(0, 3); m > 0; --m) set.AddCamera({Point(), Point()});
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    float Coordinate() {
        if (Pick(0, 9) == 0) return Pick(0, 1) ? INFINITY : NAN;
        return std::uniform_real_distribution<float>(-1e6f, 1e6f)(rng_);
    }
    Float3 Point() { return {Coordinate(), Coordinate(), Coordinate()}; }
    ExportPatch Patch() {
        ExportPatch patch;
        patch.sides = Pick(3, 4);
        for (int i = 0; i < patch.sides; ++i) {
            patch.verts[i] = Pick(-1, 100000);
            patch.interior[i] = Pick(-1, 30);
            patch.adjacent[i] = Pick(-1, 8);
        }
        for (int j = 0; j < 2 * patch.sides; ++j) patch.vecs[j] = Pick(-5, 30);
        return patch;
    }
    std::mt19937 rng_;
};

std::string IntText(std::int32_t value) {
    char text[numtext::kIntChars];
    return std::string(text, numtext::FormatInt(text, value));
}
std::string FloatText(float value) {
    char text[numtext::kFloatChars];
    return std::string(text, numtext::FormatFloat(text, value));
}
float Axis(const Float3& p, std::int32_t axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

// The writer's text for the value a told token names; empty for keywords.
std::string Expected(const PatchIO& set, const Told& t) {
    const patchio::ValueRef& v = t.value;
    const std::string& f = t.field;
    if (t.kind == patchio::TokenKind::Keyword) return f;
    if (f == "version") return "1.10";
    if (f == "patchobjects") return IntText(set.NumPatchObjects());
    if (f == "numcameras") return IntText(set.NumCameras());
    if (f == "camera") return IntText(v.camera);
    if (f == "position") return FloatText(Axis(set.CameraAt(v.camera).position, v.axis));
    if (f == "target") return FloatText(Axis(set.CameraAt(v.camera).target, v.axis));
    const ExportPatchObject& object = set.PatchObjectAt(v.object);
    if (f == "patchobject") return IntText(v.object);
    if (f == "numverts") return IntText(object.NumVerts());
    if (f == "numvecs") return IntText(object.NumVecs());
    if (f == "numpatches") return IntText(object.NumPatches());
    if (f == "vertex") return v.axis < 0 ? IntText(v.slot) : FloatText(Axis(object.VertAt(v.slot), v.axis));
    if (f == "vector") return v.axis < 0 ? IntText(v.slot) : FloatText(Axis(object.VecAt(v.slot), v.axis));
    const ExportPatch& patch = object.PatchAt(v.patch);
    if (f == "patch") return IntText(v.patch);
    if (f == "sides") return IntText(patch.sides);
    if (f == "verts") return IntText(patch.verts[v.slot]);
    if (f == "vecs") return IntText(patch.vecs[v.slot]);
    if (f == "interior") return IntText(patch.interior[v.slot]);
    if (f == "adjacent") return IntText(patch.adjacent[v.slot]);
    return "unknown field " + f;
}

// The text at line:column of text, up to the next delimiter.
std::string TokenAtPlace(const std::string& text, const TextPosition& at) {
    std::size_t start = 0;
    for (std::int64_t line = 1; line < at.line; ++line) start = text.find('\n', start) + 1;
    start += static_cast<std::size_t>(at.column - 1);
    const std::size_t end = text.find_first_of(PatchIO::kDelimiters, start);
    return text.substr(start, end - start);
}

// Every value of a set is told once: the counts of told tokens per field.
std::map<std::string, std::int64_t> ValuesPerField(const PatchIO& set) {
    std::map<std::string, std::int64_t> n{{"version", 1}, {"patchobjects", 1}, {"numcameras", 1}};
    n["camera"] = set.NumCameras();
    n["position"] = n["target"] = 3 * std::int64_t{set.NumCameras()};
    for (std::int32_t i = 0; i < set.NumPatchObjects(); ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        n["patchobject"] += 1;
        n["numverts"] += 1;
        n["numvecs"] += 1;
        n["numpatches"] += 1;
        n["vertex"] += 4 * std::int64_t{object.NumVerts()};
        n["vector"] += 4 * std::int64_t{object.NumVecs()};
        for (std::int32_t k = 0; k < object.NumPatches(); ++k) {
            const std::int64_t sides = object.PatchAt(k).sides;
            n["patch"] += 1;
            n["sides"] += 1;
            n["verts"] += sides;
            n["vecs"] += 2 * sides;
            n["interior"] += sides;
            n["adjacent"] += sides;
        }
    }
    for (auto it = n.begin(); it != n.end();) it = it->second == 0 ? n.erase(it) : std::next(it);
    return n;
}

TEST(ReadPlaces, EveryToldTokenStandsWhereTheWriterPutItsValue) {
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        PatchIO written;
        RandomSet(seed).Fill(written);
        std::string text;
        written.WriteText(text);
        PatchIO read;
        Recorder places;
        ASSERT_EQ(patchio::ReadTextWithPlaces(text.data(), text.size(), read, places), 1);
        std::map<std::string, std::int64_t> values;
        std::int64_t tokens = 0;
        for (const Told& t : places.told) {
            ++tokens;
            if (t.kind != patchio::TokenKind::Keyword) ++values[t.field];
            ASSERT_EQ(TokenAtPlace(text, t.at), t.text) << t.field << " at " << t.at.line << ":" << t.at.column;
            ASSERT_EQ(t.text, Expected(written, t)) << t.field << " at " << t.at.line << ":" << t.at.column;
        }
        EXPECT_EQ(values, ValuesPerField(written));
        // And nothing of the file is left untold.
        std::int64_t inFile = 0;
        for (std::size_t at = text.find_first_not_of(PatchIO::kDelimiters); at != std::string::npos;
             at = text.find_first_not_of(PatchIO::kDelimiters, text.find_first_of(PatchIO::kDelimiters, at)))
            ++inFile;
        EXPECT_EQ(tokens, inFile);
    }
}

// The read with places fills the same set as the plain read, and stops at
// the same place with the same reason.
TEST(ReadPlaces, ReadsAsThePlainReader) {
    PatchIO written;
    RandomSet(7).Fill(written);
    std::string text;
    written.WriteText(text);
    for (const std::string& input : {text, text.substr(0, text.size() / 2), text + "x"}) {
        PatchIO plain, placed;
        ReadFailure plainWhy, placedWhy;
        Recorder places;
        const std::int32_t a = plain.ReadText(input.data(), input.size(), &plainWhy);
        const std::int32_t b = patchio::ReadTextWithPlaces(input.data(), input.size(), placed, places, &placedWhy);
        EXPECT_EQ(a, b);
        EXPECT_EQ(plainWhy.Message(), placedWhy.Message());
        ASSERT_EQ(plain.NumPatchObjects(), placed.NumPatchObjects());
        for (std::int32_t i = 0; i < plain.NumPatchObjects(); ++i)
            EXPECT_TRUE(plain.PatchObjectAt(i) == placed.PatchObjectAt(i));
    }
}

}  // namespace
