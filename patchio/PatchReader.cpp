// The patch text reader: the writer's line forms read back token by token,
// in the format's own vocabulary. Line breaks and indentation carry no
// meaning here; every keyword and running index is checked.
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "host/HostApi.h"
#include "os/Stream.h"
#include "patchio/NumberParse.h"
#include "patchio/ParallelRead.h"
#include "patchio/PatchIO.h"
#include "patchio/ReadPlaces.h"
#include "text/BlockTokeniser.h"

namespace {

// Source-file name of this module in assertion reports, and the fixed number
// under which an unknown format version is reported.
constexpr const char* kSource = "PatchIO";
constexpr int kUnknownVersionLine = 403;

// The versions this reader knows, as the 32-bit floats it reads: 1.0 (no
// cameras) and 1.10 (cameras).
constexpr float kVersionWithoutCameras = static_cast<float>(PatchIO::kLastVersionWithoutCameras);
constexpr float kVersionWritten = static_cast<float>(PatchIO::kFormatVersion);

// The least text that a point (forms 5 and 7) and a patch (forms 9 to 14)
// can take: a character per value and a delimiter after every token. Lists
// are reserved from the counts in the file, never beyond what the rest of
// the file could hold at these sizes, so a wrong count costs no memory.
constexpr std::size_t kMinPointBytes = 8;
constexpr std::size_t kMinPatchBytes = 64;

// The bytes at the start of a line within which a run of items read ahead
// must begin: the writer's lines begin with two tabs.
constexpr std::size_t kRunLineLead = 16;

// What the format demands at a token, kept only when the read stops there.
struct Expectation {
    enum Kind { kKeyword, kIndex, kValue } kind = kValue;
    const char* text = "";   // the keyword, or a description of the value
    std::int32_t index = 0;  // the running index demanded
};

class PatchTextReader {
public:
    // Reads through tokens, from input of the given size (0 when not
    // known), into set; tells places of every token when given (and then
    // takes every token on its own).
    PatchTextReader(BlockTokeniser& tokens, std::size_t inputBytes, PatchIO& set, patchio::ReadPlaces* places)
        : tokens_(tokens), set_(set), fileBytes_(inputBytes), places_(places) {
        tokens_.SetDelimiters(PatchIO::kDelimiters);
        if (places_) tokens_.TrackPositions();
    }

    // Forms 1 to 16 in the writer's order. False at the first token that
    // does not fit.
    bool ReadFile() {
        float version = 0.0f;
        std::int32_t objects = 0;
        if (!ExpectKeyword("VERSION") || !Mark("version") || !TakeFloat(version, "the version number")) return false;
        CheckVersion(version);
        if (!ExpectKeyword("PATCHOBJECTS") || !Mark("patchobjects") || !TakeInt(objects, "the patch object count"))
            return false;
        for (std::int32_t i = 0; i < objects; ++i)
            if (!ReadPatchObject(i)) return false;
        // Versions up to 1.0 end after their patch objects.
        if (!(version > kVersionWithoutCameras)) return true;
        return ReadCameras();
    }

    // Takes the runs of items that workers read ahead (none without them).
    void ReadAheadWith(parallelread::ReadAhead* ahead) { ahead_ = ahead; }

    // The run of list items that starts where the tokens stand, read as the
    // lists read them, into out: points from a line that begins with a
    // running index, patches from one that begins "PATCH" and its index,
    // none from any other line. No item is begun at or after stop. Input
    // offsets are the tokens' plus base; answers where the run ended.
    std::int64_t ReadRun(std::int64_t base, std::int64_t stop, parallelread::ChunkItems& out) {
        parallelread::Run run;
        run.start = run.end = base + tokens_.Consumed();
        // The line's first tokens tell the run's kind and first index; the
        // tokens then go back to its start. A line that does not begin with
        // a token within its first bytes begins none: looking further could
        // cross any amount of blank text, for every line of it. A run starts
        // at its first token, where the reader stands once it passes the
        // delimiters after the item before (a line may end in a space).
        if (!tokens_.TokenSoon(kRunLineLead)) return run.end;
        tokens_.SkipDelimiters();
        run.start = run.end = base + tokens_.Consumed();
        const std::int64_t at = tokens_.Consumed();
        const bool points = tokens_.NextToken() != 0 && IntOf(Token(), run.first) && run.first >= 0;
        const bool patches = !points && Is(Token(), "PATCH", 5) && tokens_.NextToken() != 0 &&
                             IntOf(Token(), run.first) && run.first >= 0;
        if (!tokens_.MoveTo(at)) return run.end;
        constexpr std::int32_t kLastIndex = std::numeric_limits<std::int32_t>::max();
        if (points) {
            run.at = static_cast<std::size_t>(out.items.NumVerts());
            Float3 point;
            while (run.end < stop && run.first + run.count < kLastIndex &&
                   TakeIndexedPoint(run.first + run.count, point)) {
                out.items.AddVert(point);
                ++run.count;
                run.end = base + tokens_.Consumed();
            }
        } else if (patches) {
            run.patches = true;
            run.at = static_cast<std::size_t>(out.items.NumPatches());
            while (run.end < stop && run.first + run.count < kLastIndex &&
                   ReadPatch(run.first + run.count, out.items)) {
                ++run.count;
                run.end = base + tokens_.Consumed();
            }
        }
        if (run.count > 0) out.runs.push_back(run);
        return run.end;
    }

    // The token the read stopped at, and whether the file ended there.
    std::string Found() const {
        return std::string(tokens_.GetToken(), static_cast<std::size_t>(tokens_.GetTokenLength()));
    }
    bool EndedAtEof() const { return endedAtEof_; }
    std::string Expected() const {
        switch (failed_.kind) {
            case Expectation::kKeyword:
                return std::string("\"") + failed_.text + "\"";
            case Expectation::kIndex:
                return "index " + std::to_string(failed_.index);
            case Expectation::kValue:
                break;
        }
        return failed_.text;
    }

private:
    // Takes a token. A token that the end of the file cut short counts as
    // missing.
    bool Take(const Expectation& expectation) {
        if (tokens_.NextToken() != 0) return true;
        endedAtEof_ = true;
        return Fail(expectation);
    }
    bool Fail(const Expectation& expectation) {
        failed_ = expectation;
        return false;
    }

    // Which value the next tokens hold, for the places; always true.
    bool Mark(const char* field, std::int32_t slot = -1, std::int32_t axis = -1) {
        at_.field = field;
        at_.slot = slot;
        at_.axis = axis;
        return true;
    }
    // Tells the places of the token just taken.
    void Tell(patchio::TokenKind kind, const char* keyword = nullptr) {
        if (!places_) return;
        patchio::ValueRef value = at_;
        if (keyword) value.field = keyword;
        places_->Token(kind, value, tokens_.TokenPosition(), tokens_.GetToken(),
                       static_cast<std::size_t>(tokens_.GetTokenLength()));
    }

    std::int32_t TokenInt() const {
        return numparse::TokenToInt(tokens_.GetToken(), static_cast<std::size_t>(tokens_.GetTokenLength()));
    }

    bool ExpectKeyword(const char* keyword) {
        const Expectation expectation{Expectation::kKeyword, keyword, 0};
        if (!Take(expectation)) return false;
        Tell(patchio::TokenKind::Keyword, keyword);
        return std::strcmp(tokens_.GetToken(), keyword) == 0 || Fail(expectation);
    }
    bool ExpectIndex(std::int32_t index) {
        const Expectation expectation{Expectation::kIndex, "", index};
        if (!Take(expectation)) return false;
        Tell(patchio::TokenKind::Integer);
        return TokenInt() == index || Fail(expectation);
    }
    bool TakeInt(std::int32_t& value, const char* what) {
        if (!Take({Expectation::kValue, what, 0})) return false;
        Tell(patchio::TokenKind::Integer);
        value = TokenInt();
        return true;
    }
    bool TakeFloat(float& value, const char* what) {
        if (!Take({Expectation::kValue, what, 0})) return false;
        Tell(patchio::TokenKind::Float);
        value = numparse::TokenToFloat(tokens_.GetToken(), static_cast<std::size_t>(tokens_.GetTokenLength()));
        return true;
    }
    bool TakePoint(Float3& point) {
        const char* field = at_.field;
        const std::int32_t slot = at_.slot;
        return Mark(field, slot, 0) && TakeFloat(point.x, "a coordinate") && Mark(field, slot, 1) &&
               TakeFloat(point.y, "a coordinate") && Mark(field, slot, 2) && TakeFloat(point.z, "a coordinate");
    }
    bool TakeInts(std::int32_t* slots, std::int32_t count) {
        const char* field = at_.field;
        for (std::int32_t i = 0; i < count; ++i)
            if (!Mark(field, i) || !TakeInt(slots[i], "an integer")) return false;
        return true;
    }
    // The writer's own lines, taken a line of tokens at a time: the same
    // expectations, checked on the tokens as they stand in the input. A
    // line that is anything but the writer's own text (or does not lie in
    // the tokeniser's block at hand) is put back and taken token by token,
    // which then also tells why it does not read.
    using View = BlockTokeniser::TokenView;
    static bool Is(const View& view, const char* keyword, std::size_t length) {
        return static_cast<std::size_t>(view.length) == length && std::memcmp(view.text, keyword, length) == 0;
    }
    View Token() const { return {tokens_.GetToken(), tokens_.GetTokenLength()}; }
    static bool IntOf(const View& view, std::int32_t& value) {
        return numparse::fast::ReadInt(view.text, static_cast<std::size_t>(view.length), value);
    }
    static bool FloatOf(const View& view, float& value) {
        return numparse::fast::ReadSixDecimals(view.text, static_cast<std::size_t>(view.length), value);
    }

    // Forms 5 and 7: the running index, then the point.
    bool TakeIndexedPoint(std::int32_t index, Float3& point) {
        View v[4];
        if (!places_ && tokens_.TakeShortTokens(v, 4)) {
            std::int32_t found = 0;
            if (IntOf(v[0], found) && found == index && FloatOf(v[1], point.x) && FloatOf(v[2], point.y) &&
                FloatOf(v[3], point.z))
                return true;
            tokens_.PutBack();
        }
        return ExpectIndex(index) && TakePoint(point);
    }

    // Forms 11 to 14: the keyword, then count integers.
    template <std::size_t N>
    bool TakeIndexLine(const char (&keyword)[N], std::int32_t* slots, std::int32_t count) {
        View v[1 + 8];
        if (!places_ && count <= 8 && tokens_.TakeShortTokens(v, 1 + count)) {
            bool plain = Is(v[0], keyword, N - 1);
            for (std::int32_t i = 0; plain && i < count; ++i) plain = IntOf(v[1 + i], slots[i]);
            if (plain) return true;
            tokens_.PutBack();
        }
        return ExpectKeyword(keyword) && TakeInts(slots, count);
    }

    // Forms 9 and 10: "PATCH" and its running index, "SIDES" and 3 or 4.
    bool TakePatchHeader(std::int32_t number, std::int32_t& sides) {
        View v[4];
        if (!places_ && tokens_.TakeShortTokens(v, 4)) {
            std::int32_t found = 0;
            if (Is(v[0], "PATCH", 5) && IntOf(v[1], found) && found == number && Is(v[2], "SIDES", 5) &&
                IntOf(v[3], sides) && (sides == 3 || sides == 4))
                return true;
            tokens_.PutBack();
        }
        return ExpectKeyword("PATCH") && Mark("patch") && ExpectIndex(number) && ExpectKeyword("SIDES") &&
               Mark("sides") && TakeSides(sides);
    }

    // Form 10's value: a triangle or a quadrilateral, nothing else.
    bool TakeSides(std::int32_t& sides) {
        const Expectation expectation{Expectation::kValue, "3 or 4 sides", 0};
        if (!Take(expectation)) return false;
        Tell(patchio::TokenKind::Integer);
        sides = TokenInt();
        return sides == 3 || sides == 4 || Fail(expectation);
    }

    // Anything but the versions this reader knows is reported; the read
    // goes on either way.
    static void CheckVersion(float version) {
        if (version != kVersionWithoutCameras && version != kVersionWritten) assert1(kUnknownVersionLine, kSource);
    }

    // Room for count items of at least minBytes of text each.
    std::size_t Room(std::int32_t count, std::size_t minBytes) const {
        const std::size_t most = fileBytes_ / minBytes;
        const auto wanted = static_cast<std::size_t>(count < 0 ? 0 : count);
        return wanted < most ? wanted : most;
    }

    // The items of a list that workers read ahead from where the tokens
    // stand, run after run, from item first on and at most most of them;
    // answers how many.
    template <typename AddPoint>
    std::int32_t PointsAhead(std::int32_t first, std::int32_t most, AddPoint& add) {
        std::int32_t taken = 0;
        const Float3* points = nullptr;
        for (std::int32_t run = 0; ahead_ && taken < most; taken += run) {
            run = ahead_->Points(tokens_, first + taken, most - taken, points);
            if (run == 0) break;
            for (std::int32_t k = 0; k < run; ++k) add(points[k]);
        }
        return taken;
    }
    std::int32_t PatchesAhead(std::int32_t first, std::int32_t most, ExportPatchObject& object) {
        std::int32_t taken = 0;
        const ExportPatch* patches = nullptr;
        for (std::int32_t run = 0; ahead_ && taken < most; taken += run) {
            run = ahead_->Patches(tokens_, first + taken, most - taken, patches);
            if (run == 0) break;
            for (std::int32_t k = 0; k < run; ++k) object.AddPatch(patches[k]);
        }
        return taken;
    }

    // Forms 4 and 5, or 6 and 7: a count, then numbered points.
    // countField and pointField name them for the places.
    template <typename Reserve, typename AddPoint>
    bool ReadPoints(const char* countKeyword, const char* countField, const char* pointField, Reserve reserve,
                    AddPoint add) {
        std::int32_t count = 0;
        if (!ExpectKeyword(countKeyword) || !Mark(countField) || !TakeInt(count, "a count")) return false;
        reserve(Room(count, kMinPointBytes));
        for (std::int32_t j = 0; j < count; ++j) {
            j += PointsAhead(j, count - j, add);
            if (j == count) break;
            Float3 point;
            if (!Mark(pointField, j) || !TakeIndexedPoint(j, point)) return false;
            add(point);
        }
        return true;
    }

    // Forms 9 to 14. Slots beyond the side count keep -1.
    bool ReadPatch(std::int32_t number, ExportPatchObject& object) {
        ExportPatch patch;
        at_.patch = number;
        if (!TakePatchHeader(number, patch.sides)) return false;
        const std::int32_t sides = patch.sides;
        if (!Mark("verts") || !TakeIndexLine("VERTS", patch.verts, sides)) return false;
        if (!Mark("vecs") || !TakeIndexLine("VECS", patch.vecs, 2 * sides)) return false;
        if (!Mark("interior") || !TakeIndexLine("INTERIOR", patch.interior, sides)) return false;
        if (!Mark("adjacent") || !TakeIndexLine("ADJACENT", patch.adjacent, sides)) return false;
        object.AddPatch(patch);
        return true;
    }

    // Forms 3 to 14. Only a complete object joins the set.
    bool ReadPatchObject(std::int32_t number) {
        ExportPatchObject object;
        at_ = patchio::ValueRef{};
        at_.object = number;
        if (!ExpectKeyword("PATCHOBJECT") || !Mark("patchobject") || !ExpectIndex(number)) return false;
        const auto reserveVerts = [&object](std::size_t n) { object.Reserve(n, 0, 0); };
        const auto reserveVecs = [&object](std::size_t n) { object.Reserve(0, n, 0); };
        if (!ReadPoints("NUMVERTS", "numverts", "vertex", reserveVerts,
                        [&object](const Float3& p) { object.AddVert(p); }))
            return false;
        if (!ReadPoints("NUMVECS", "numvecs", "vector", reserveVecs, [&object](const Float3& p) { object.AddVec(p); }))
            return false;
        std::int32_t patches = 0;
        if (!ExpectKeyword("NUMPATCHES") || !Mark("numpatches") || !TakeInt(patches, "a count")) return false;
        object.Reserve(0, 0, Room(patches, kMinPatchBytes));
        for (std::int32_t k = 0; k < patches; ++k) {
            k += PatchesAhead(k, patches - k, object);
            if (k == patches) break;
            if (!ReadPatch(k, object)) return false;
        }
        set_.AddPatchObject(std::move(object));
        return true;
    }

    // Form 16.
    bool ReadCamera(std::int32_t number) {
        ExportCamera camera;
        at_ = patchio::ValueRef{};
        at_.camera = number;
        if (!ExpectKeyword("CAMERA") || !Mark("camera") || !ExpectIndex(number)) return false;
        if (!Mark("position") || !TakePoint(camera.position) || !Mark("target") || !TakePoint(camera.target))
            return false;
        set_.AddCamera(camera);
        return true;
    }

    // Forms 15 and 16.
    bool ReadCameras() {
        std::int32_t cameras = 0;
        at_ = patchio::ValueRef{};
        if (!ExpectKeyword("NUMCAMERAS") || !Mark("numcameras") || !TakeInt(cameras, "the camera count")) return false;
        for (std::int32_t m = 0; m < cameras; ++m)
            if (!ReadCamera(m)) return false;
        return true;
    }

    BlockTokeniser& tokens_;
    PatchIO& set_;
    std::size_t fileBytes_;
    patchio::ReadPlaces* places_;
    patchio::ValueRef at_;
    bool endedAtEof_ = false;
    Expectation failed_;
    parallelread::ReadAhead* ahead_ = nullptr;
};

// Bytes from the stream's position to its end, or 0 when the stream
// cannot tell (a pipe). The stream is not moved: on Windows, a text stream
// of a file with bare line ends that is sought back to where ftell said it
// stood can land somewhere else.
std::size_t BytesLeft(std::FILE* file) {
    const long long size = os::RegularFileBytes(file);
    const long at = size > 0 ? std::ftell(file) : -1;
    return at >= 0 && size > at ? static_cast<std::size_t>(size - at) : 0;
}

// Reads everything tokens give into set. The place of a failing token is
// counted only when the reason is asked for.
std::int32_t ReadTokens(BlockTokeniser& tokens, std::size_t inputBytes, PatchIO& set, ReadFailure* why,
                        patchio::ReadPlaces* places = nullptr, parallelread::ReadAhead* ahead = nullptr,
                        const PatchIO::KeepGoing& keepGoing = nullptr) {
    set.Clear();
    if (keepGoing) tokens.AskBeforeBlocks(keepGoing);
    if (why) tokens.TrackPositions();
    PatchTextReader reader(tokens, inputBytes, set, places);
    // Places are told token by token, on this thread alone.
    if (!places) reader.ReadAheadWith(ahead);
    if (reader.ReadFile()) return 1;
    if (why && !tokens.Stopped()) {
        const TextPosition at = tokens.TokenPosition();
        why->line = at.line;
        why->column = at.column;
        why->expected = reader.Expected();
        why->found = reader.Found();
        why->atEnd = reader.EndedAtEof();
    }
    return 0;
}

// A worker's reading of a chunk: the runs that begin on its lines. A line
// that begins none is skipped, and so is the line where a run ended.
void ReadChunkItems(const parallelread::ChunkText& text, parallelread::ChunkItems& out) {
    out.runs.clear();
    out.items.Empty();
    BlockTokeniser& tokens = *text.tokens;
    PatchIO unused;
    PatchTextReader reader(tokens, text.size, unused, nullptr);
    // The chunk's first line starts after the first line end from the byte
    // before it on.
    if (text.from > 0 ? !tokens.MoveTo(text.from - 1) || !tokens.SkipLine(text.to) : !tokens.MoveTo(0)) return;
    while (tokens.Consumed() < text.to) {
        const std::int64_t line = tokens.Consumed();
        const std::int64_t ended = reader.ReadRun(0, text.to, out);
        if (!tokens.MoveTo(ended > line ? ended : line) || !tokens.SkipLine(text.to)) return;
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::int32_t PatchIO::Read(const char* path, ReadFailure* why) {
    Clear();
    if (why) *why = ReadFailure{};
    if (!path) return 0;
    // As text ("r"): on Windows a line end is one byte, in the columns too.
    FilePtr file(std::fopen(path, "r"));
    if (!file) return 0;
    return ReadFile(file.get(), path, why);
}

std::int32_t PatchIO::ReadFile(std::FILE* file, const char* path, ReadFailure* why, const KeepGoing& keepGoing) {
    Clear();
    if (why) *why = ReadFailure{};
    if (!file) return 0;
    if (why) why->opened = true;
    const std::size_t size = BytesLeft(file);
    // The workers count their offsets from the start of the file.
    if (path && std::ftell(file) == 0 && os::kTextReadsBytesAsTheyAre && os::IsRegularStream(file) &&
        parallelread::WorthIt(*this, size)) {
        {
            parallelread::ReadAhead workers(*this, std::string(path), file, size, ReadChunkItems);
            if (workers.Started()) {
                BlockTokeniser tokens(file);
                if (ReadTokens(tokens, size, *this, nullptr, nullptr, &workers, keepGoing) == 1) return 1;
                if (!why || tokens.Stopped()) return 0;
            }
        }
        // A failure is read again on this thread alone when its reason is
        // asked for: only that read counts the lines (the same set, the
        // same failure).
        if (std::fseek(file, 0, SEEK_SET) != 0) return 0;
    }
    BlockTokeniser tokens(file);
    return ReadTokens(tokens, size, *this, why, nullptr, nullptr, keepGoing);
}

// The reader reads in large blocks: reading ahead of where it stops costs
// nothing, as the caller closes the stream or reads no more of it.
std::int32_t PatchIO::ReadStream(std::FILE* stream, ReadFailure* why) {
    Clear();
    if (why) *why = ReadFailure{};
    if (!stream) return 0;
    if (why) why->opened = true;
    BlockTokeniser tokens(stream);
    return ReadTokens(tokens, BytesLeft(stream), *this, why);
}

std::int32_t PatchIO::ReadWholeStream(std::FILE* stream, std::size_t bytesLeft, ReadFailure* why) {
    Clear();
    if (why) *why = ReadFailure{};
    if (!stream) return 0;
    if (why) why->opened = true;
    BlockTokeniser tokens(stream, true);
    return ReadTokens(tokens, bytesLeft, *this, why);
}

std::int32_t PatchIO::ReadText(const char* text, std::size_t size, ReadFailure* why, const KeepGoing& keepGoing) {
    if (why) {
        *why = ReadFailure{};
        why->opened = true;
    }
    // As Read: a failure is read again alone when its reason is asked for.
    if (parallelread::WorthIt(*this, size)) {
        parallelread::ReadAhead ahead(*this, text, size, ReadChunkItems);
        if (ahead.Started()) {
            BlockTokeniser tokens(text, size);
            if (ReadTokens(tokens, size, *this, nullptr, nullptr, &ahead, keepGoing) == 1) return 1;
            if (!why || tokens.Stopped()) return 0;
        }
    }
    BlockTokeniser tokens(text, size);
    return ReadTokens(tokens, size, *this, why, nullptr, nullptr, keepGoing);
}

namespace patchio {

std::int32_t ReadTextWithPlaces(const char* text, std::size_t size, PatchIO& set, ReadPlaces& places,
                                ReadFailure* why) {
    if (why) {
        *why = ReadFailure{};
        why->opened = true;
    }
    BlockTokeniser tokens(text, size);
    return ReadTokens(tokens, size, set, why, &places);
}

std::int32_t ReadWithPlaces(const char* path, PatchIO& set, ReadPlaces& places, ReadFailure* why) {
    set.Clear();
    if (why) *why = ReadFailure{};
    if (!path) return 0;
    FilePtr file(std::fopen(path, "r"));
    if (!file) return 0;
    if (why) why->opened = true;
    BlockTokeniser tokens(file.get());
    return ReadTokens(tokens, BytesLeft(file.get()), set, why, &places);
}

}  // namespace patchio
